#!/usr/bin/env bash
# Takes a picture of Vantorel on a virtual display:
#   scripts/screenshot.sh OUT.png        the main menu
#   scripts/screenshot.sh OUT.png N      the record form behind menu button N (1 to 5)
# Build first (scripts/build.sh); the program uses the table files next to it, in a Chinese
# locale for the dates.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/images/main-menu.png}")
button=${2:-0}
captions=(form1 form2 Form3 Form5 Form8 Form9)
export LC_ALL=C.UTF-8 XDG_RUNTIME_DIR=$(mktemp -d)
exec xvfb-run -a -s "-screen 0 800x600x24" bash -c '
    out=$0 button=$1 caption=$2
    env -u LC_ALL LANG=zh_CN.UTF-8 build/bin/vantorel &
    pid=$!
    find() {
        for _ in $(seq 50); do
            id=$(xdotool search --onlyvisible --name "^$1$" 2>/dev/null | head -n 1) && [ -n "$id" ] && { echo $id; return; }
            sleep 0.1
        done
    }
    id=$(find form1)
    if [ "$button" -gt 0 ]; then
        xdotool mousemove --window "$id" 68 $((4 + 40 * button)) click 1
        id=$(find "$caption")
    fi
    sleep 0.5
    import -window "$id" "$out"
    kill $pid
' "$out" "$button" "${captions[$button]}"
