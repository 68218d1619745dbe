#!/usr/bin/env bash
# Runs a connect scenario with a wire trace and compares the command traffic with a
# checked-in fixture. Time stamps and the light stream (command 0x12) are left out:
# the fixture reads as the connect sequence itself.
# usage: compare_trace.sh KORVANE SCRIPT DEVICES FIXTURE [--update]
set -euo pipefail
program="$1" script="$2" devices="$3" fixture="$4" mode="${5:-}"
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
SCENARIO_OUT="$work" "$here/../run_scenario.sh" "$program" "$script" --simulate= \
    --hid-trace "$work/trace.txt" >"$work/run.log" 2>&1 || { cat "$work/run.log"; exit 1; }
# Fields: time, direction, path, then the bytes; byte 3 (field 7) is the command code.
awk '$7 != "12" { $1 = ""; sub(/^ /, ""); print }' "$work/trace.txt" >"$work/connect.txt"
if [[ "$mode" == "--update" ]]; then
    { echo "# $(basename "$fixture"): the wire traffic of connecting a simulated mouse"
      echo "# ($devices), without time stamps and light frames. Regenerate with"
      echo "# tests/scenarios/trace/compare_trace.sh ... --update after a deliberate change."
      cat "$work/connect.txt"; } >"$fixture"
    exit 0
fi
if ! diff -u <(grep -v '^#' "$fixture") "$work/connect.txt"; then
    echo "the connect sequence differs from $fixture" >&2
    exit 1
fi
