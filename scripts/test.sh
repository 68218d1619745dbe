#!/usr/bin/env bash
# Sets everything up, builds and runs the whole test suite.
# Usage: scripts/test.sh [preset]   (default, asan or tsan)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/setup.sh "$preset"
export QT_QPA_PLATFORM=offscreen
ctest --preset "$preset"
