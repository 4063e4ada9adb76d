#!/usr/bin/env bash
# Takes a picture of Vantorel's main menu on a virtual display: scripts/screenshot.sh OUT.png
# Build first (scripts/build.sh); the program uses the table files next to it.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/images/main-menu.png}")
exec xvfb-run -a -s "-screen 0 640x480x24" bash -c '
    build/bin/vantorel &
    pid=$!
    for _ in $(seq 50); do
        id=$(xdotool search --name "^form1$" 2>/dev/null | head -n 1) && [ -n "$id" ] && break
        sleep 0.1
    done
    sleep 0.5
    import -window "$id" "$0"
    kill $pid
' "$out"
