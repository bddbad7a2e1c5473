#!/usr/bin/env bash
# Fuzzes the portable code with libFuzzer (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer): scripts/fuzz.sh [seconds-per-target]
#
# Each target runs on a copy of its seed corpus from tests/fuzz/corpus, so the
# repository is never written. A crashing input is kept as
# build/fuzz/crashes/<target>/crash-*; reproduce it with
#   build/fuzz/<target>_fuzz build/fuzz/crashes/<target>/crash-...
# Exits non-zero when any target fails.
set -euo pipefail

# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

SECONDS_PER_TARGET=${1:-20}
if ! [[ $SECONDS_PER_TARGET =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh [seconds-per-target]" >&2
  exit 2
fi
TARGETS=(entry_file settings trigger_rules popup_filter)
OUT="$BUILD/fuzz"

install_packages

say "Building the fuzz targets (clang, libFuzzer, ASan, UBSan)"
mkdir -p "$OUT"
if ! { cmake -S "$ROOT/tests/fuzz" -B "$OUT" -G Ninja -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ && cmake --build "$OUT" -j2; } >"$OUT/build.log" 2>&1; then
  cat "$OUT/build.log" >&2
  echo "fuzz build failed" >&2
  exit 1
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# fuzz_one TARGET: one process with a hard time limit (-timeout marks an input
# that hangs); its line of the report goes to $OUT/runs/TARGET/result.
fuzz_one() {
  local target=$1 work="$OUT/runs/$1" crashes="$OUT/crashes/$1"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$crashes"
  cp "$ROOT/tests/fuzz/corpus/$target/"* "$work/corpus/"
  local log="$work/fuzz.log"
  if "$OUT/${target}_fuzz" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$crashes/" "$work/corpus" >"$log" 2>&1; then
    local runs cover
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    cover=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    printf '%-14s ok      %s runs, %s edges covered, log %s\n' "$target" "${runs:-?}" \
      "${cover:-?}" "$log" >"$work/result"
  else
    local artifact reason
    artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -1)
    reason=$(grep -m1 -E '_fuzz: |runtime error|ERROR: (AddressSanitizer|libFuzzer|LeakSanitizer)' \
      "$log" || true)
    printf '%-14s FAILED  %s; input %s, log %s\n' "$target" "${reason:-see the log}" \
      "${artifact:-none}" "$log" >"$work/result"
  fi
}

# Two at a time, one per core; the report in the targets' order.
say "Fuzzing each target for ${SECONDS_PER_TARGET}s, two at a time"
for target in "${TARGETS[@]}"; do
  [ "$(jobs -rp | wc -l)" -lt 2 ] || wait -n || true
  fuzz_one "$target" &
done
wait
failed=0
for target in "${TARGETS[@]}"; do
  result=$(cat "$OUT/runs/$target/result" 2>/dev/null || echo "$target FAILED  no result")
  echo "$result"
  [[ $result == *" ok "* ]] || failed=1
done
exit "$failed"
