#!/usr/bin/env bash
# A second start of the program brings the running one to the front and exits with 0
# without a window of its own.
# usage: single_instance.sh KORVANE
set -euo pipefail
program="$1"
here=$(cd "$(dirname "$0")" && pwd)
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen
cd "$home"
"$program" --simulate= --script "$here/first.scn" &
first=$!
# Wait until the first one listens.
for _ in $(seq 100); do
    ls "$XDG_RUNTIME_DIR"/*.sock >/dev/null 2>&1 && break
    sleep 0.1
done
second_status=0
timeout 20 "$program" --simulate= --script /dev/null || second_status=$?
if [[ $second_status -ne 0 ]]; then
    echo "the second start ended with $second_status" >&2
    kill "$first" 2>/dev/null || true
    exit 1
fi
wait "$first"
