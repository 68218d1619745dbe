#!/usr/bin/env bash
# Runs one scenario against the real program in a throw-away user environment.
# usage: run_scenario.sh KORVANE SCRIPT [program options...]
set -euo pipefail
program="$1"
script="$2"
shift 2
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen
export SCENARIO_OUT="${SCENARIO_OUT:-$home}"
cd "$SCENARIO_OUT"
"$program" --script "$script" "$@"
