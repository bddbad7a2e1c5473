#!/usr/bin/env bash
# The long crash-safety soak: kills the real program at random moments while
# it applies edits over and over, and checks after every kill that the entry
# file holds one whole list.
#
#   scripts/soak.sh [KILLS]     (default 200; JUMPNEST_SOAK_SEED repeats a run)
set -uo pipefail
source "$(dirname "$0")/lib.sh"

prepare_wine_run soak
say "Soak: ${1:-200} kills"
JUMPNEST_SOAK_KILLS="${1:-200}" python3 "$ROOT/tests/e2e/run.py" --build "$BUILD/win" \
  --template "$TEMPLATE" --work "$BUILD/soak" test_crash
