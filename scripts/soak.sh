#!/usr/bin/env bash
# The long crash-safety soak: kills the real program, or asks it to end (WM_CLOSE
# to the program or to its configuration window, a log-off), at random moments
# while it applies edits over and over, now and then with Apply's failure
# message up. After every round the entry file must hold one whole list and the
# start-up shortcut must be what the last finished Apply made it.
#
#   scripts/soak.sh [ROUNDS]     (default 200; JUMPNEST_SOAK_SEED repeats a run)
set -uo pipefail
source "$(dirname "$0")/lib.sh"

prepare_wine_run soak
say "Soak: ${1:-200} rounds"
JUMPNEST_SOAK_KILLS="${1:-200}" python3 "$ROOT/tests/e2e/run.py" --build "$BUILD/win" \
  --template "$TEMPLATE" --work "$BUILD/soak" test_ends_amid
