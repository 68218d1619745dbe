#!/usr/bin/env bash
# Sets everything up, builds and runs the program. Without supported devices on
# this machine it runs on simulated ones; without a display it runs under Xvfb
# and saves pictures of the window. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh default
build=build/default
program="$build/app/korvane"

args=("$@")
if [[ ${#args[@]} -eq 0 ]]; then
    if "$build/app/ctl/korvanectl" list 2>/dev/null | grep -q '^slot'; then
        echo "Supported devices found: using them."
    else
        echo "No supported device found: running on simulated devices."
        args=(--simulate=mouse,mouse-receiver,keyboard,pad,headset)
    fi
fi

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec "$program" "${args[@]}"
fi

# No display: show the window on a virtual one and take pictures of it.
shots="$build/screenshots"
mkdir -p "$shots"
echo "No display: running under Xvfb; pictures of the window go to $shots/"
xvfb-run -a -s "-screen 0 1280x800x24" \
    "$program" "${args[@]}" --script tests/scenarios/demo/tour.scn
ls -1 "$shots"
echo "To use the window itself, run this on a desktop, or start Xvfb with a VNC server"
echo "(e.g. x11vnc) and run: DISPLAY=:99 $program ${args[*]}"
