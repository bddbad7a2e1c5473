#!/usr/bin/env bash
# Installs what is missing, builds both targets and runs every test layer:
# the include-layer check, native unit tests, a short fuzzing run, Win32
# tests under Wine, and end-to-end tests of the real kqrJumpnest.exe under
# Wine, each on a private X display. JUMPNEST_E2E_JOBS (3) journeys run at
# once. Benchmarks are not tests: scripts/bench.sh.
set -uo pipefail
source "$(dirname "$0")/scripts/lib.sh"

started=$(date +%s)
install_packages || { echo "could not install the packages"; exit 1; }

wine_env
start_xvfb
TEMPLATE="$BUILD/e2e/template"
mkdir -p "$BUILD/e2e"
# The template Wine prefix takes a while and mostly waits: it is made while
# the programs build.
say "Private X display $DISPLAY; making a template Wine prefix meanwhile"
(make_prefix "$TEMPLATE" >"$BUILD/prefix.log" 2>&1) &
prefix_job=$!
cleanup() {
  kill "$prefix_job" ${side_job:+"$side_job"} 2>/dev/null
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1
  stop_xvfb
}
trap cleanup EXIT

build_native || { echo "FAILED: native build"; exit 1; }
# What the tests run; the benchmark is built by scripts/bench.sh.
build_windows kqrJumpnest jumpnest_win_tests wintool ||
  { echo "FAILED: Windows build"; exit 1; }
wait "$prefix_job" || { echo "FAILED: the template Wine prefix"; cat "$BUILD/prefix.log"; exit 1; }

declare -A PASSED FAILED
LAYERS=(layers unit fuzz win32 e2e)

# ctest_counts NAME LOG: records the counts of a CTest run, and its failures.
ctest_counts() {
  local name=$1 log=$2 line
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    PASSED[$name]=0 FAILED[$name]=1
    cat "$log"
    return
  fi
  local failed total
  failed=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
  PASSED[$name]=$((total - failed)) FAILED[$name]=$failed
  [ "$failed" -eq 0 ] || grep -vE '^\s+(Start|[0-9]+/[0-9]+ Test.*Passed)' "$log"
}

say "Include layers (scripts/check-layers.py)"
if python3 "$ROOT/scripts/check-layers.py"; then PASSED[layers]=1 FAILED[layers]=0
else PASSED[layers]=0 FAILED[layers]=1; fi

say "Unit tests (native)"
ctest --test-dir "$BUILD/native" --output-on-failure --timeout 120 >"$BUILD/unit-tests.log" 2>&1
ctest_counts unit "$BUILD/unit-tests.log"
echo "unit: ${PASSED[unit]} passed, ${FAILED[unit]} failed"

say "Fuzzing (a short run of each target; scripts/fuzz.sh 600 is the long one)"
"$ROOT/scripts/fuzz.sh" "${JUMPNEST_FUZZ_SECONDS:-6}" | tee "$BUILD/fuzz-tests.log"
PASSED[fuzz]=$(grep -cE '^[a-z_]+ +ok ' "$BUILD/fuzz-tests.log")
FAILED[fuzz]=$(grep -cE '^[a-z_]+ +FAILED ' "$BUILD/fuzz-tests.log")
[ "${PASSED[fuzz]}" -gt 0 ] || [ "${FAILED[fuzz]}" -gt 0 ] || FAILED[fuzz]=1
echo "fuzz: ${PASSED[fuzz]} passed, ${FAILED[fuzz]} failed"

# The Win32 tests run on this display while the journeys run, three at a time,
# on displays of their own: Wine mostly waits, so they share the cores well.
win32_tests() {
  export WINEPREFIX="$BUILD/win32-tests/prefix"
  rm -rf "$WINEPREFIX" "$WINEPREFIX"-* && mkdir -p "$(dirname "$WINEPREFIX")" &&
    cp -a "$TEMPLATE" "$WINEPREFIX"
  ctest --test-dir "$BUILD/win" --output-on-failure --timeout 120 >"$BUILD/win32-tests.log" 2>&1
  # The copies at other display scales too: their servers would stay for good.
  for prefix in "$WINEPREFIX" "$WINEPREFIX"-*; do WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1; done
}
say "Win32 tests (under Wine; log: build/win32-tests.log), and meanwhile"
win32_tests &
side_job=$!

say "End-to-end tests (the real program under Wine)"
python3 "$ROOT/tests/e2e/run.py" --build "$BUILD/win" --template "$TEMPLATE" \
  --work "$BUILD/e2e" --jobs "${JUMPNEST_E2E_JOBS:-3}" | tee "$BUILD/e2e-tests.log"
line=$(grep -E '^e2e: [0-9]+ passed, [0-9]+ failed' "$BUILD/e2e-tests.log" | tail -n 1)
if [ -n "$line" ]; then
  PASSED[e2e]=$(sed -E 's/e2e: ([0-9]+) passed, ([0-9]+) failed.*/\1/' <<<"$line")
  FAILED[e2e]=$(sed -E 's/e2e: ([0-9]+) passed, ([0-9]+) failed.*/\2/' <<<"$line")
else
  PASSED[e2e]=0 FAILED[e2e]=1
fi

wait "$side_job"
say "Win32 tests: their results"
ctest_counts win32 "$BUILD/win32-tests.log"
echo "win32: ${PASSED[win32]} passed, ${FAILED[win32]} failed"

say "Summary"
total_passed=0 total_failed=0
for layer in "${LAYERS[@]}"; do
  printf '  %-6s %4d passed, %d failed\n' "$layer" "${PASSED[$layer]}" "${FAILED[$layer]}"
  total_passed=$((total_passed + PASSED[$layer]))
  total_failed=$((total_failed + FAILED[$layer]))
done
if [ "$total_failed" -eq 0 ]; then
  echo "ALL TESTS PASSED"
else
  echo "TESTS FAILED (logs and screenshots under build/)"
fi
echo "took $(( $(date +%s) - started )) s"
echo "total: $total_passed passed, $total_failed failed"
[ "$total_failed" -eq 0 ]
