#!/usr/bin/env bash
# Measures the program under Wine on this machine, several runs over, and
# writes the figures to docs/benchmarks.md.
#
#   scripts/bench.sh [RUNS]     (default 5)
set -uo pipefail
source "$(dirname "$0")/lib.sh"

install_packages || { echo "could not install the packages"; exit 1; }
build_windows || { echo "FAILED: Windows build"; exit 1; }
wine_env
start_xvfb
trap 'stop_xvfb' EXIT
say "Private X display $DISPLAY; making a template Wine prefix"
TEMPLATE="$BUILD/bench/template"
make_prefix "$TEMPLATE"
say "Benchmarks: ${1:-5} runs"
python3 "$ROOT/tests/bench/run_bench.py" --build "$BUILD/win" --template "$TEMPLATE" \
  --work "$BUILD/bench" --runs "${1:-5}" --out "$ROOT/docs/benchmarks.md"
