#!/usr/bin/env bash
# Measures the program under Wine on this machine, several runs over, writes
# the figures to docs/benchmarks.md and their summary to docs/development.md.
#
#   scripts/bench.sh [RUNS]     (default 5)
set -uo pipefail
source "$(dirname "$0")/lib.sh"

prepare_wine_run bench
say "Benchmarks: ${1:-5} runs"
python3 "$ROOT/bench/run_bench.py" --build "$BUILD/win" --template "$TEMPLATE" \
  --work "$BUILD/bench" --runs "${1:-5}" --out "$ROOT/docs/benchmarks.md" \
  --readme "$ROOT/docs/development.md"
