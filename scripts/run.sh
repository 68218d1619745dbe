#!/usr/bin/env bash
# Sets everything up, builds and runs the program. Without real devices it runs
# on simulated ones. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh default
bin=build/default/app/ctl/korvanectl
if [[ $# -eq 0 ]]; then
    set -- --simulate=mouse,mouse-receiver,keyboard,pad,headset list
fi
exec "$bin" "$@"
