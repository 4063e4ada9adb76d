#!/usr/bin/env bash
# Sets up, builds and starts Vantorel. Sample table files are made next to the program when none
# of the five is there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh

bin=build/bin
have=0
for t in ryxx.DB ccjl.DB qjjl.DB jbjl.DB cqjl.DB; do
    [ -e "$bin/$t" ] && have=1
done
if [ $have -eq 0 ]; then
    "$bin/vantorel-tables" sample "$bin"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat <<MSG
Vantorel is built, with its table files in $(pwd)/$bin, but there is no display to show it on.
Run it from a desktop session:         $(pwd)/$bin/vantorel
or on a virtual display and look at it: xvfb-run -a $(pwd)/$bin/vantorel
MSG
    exit 1
fi
exec "$bin/vantorel"
