#!/usr/bin/env bash
# The long crash-safety soak: kills the real program at random moments while
# it applies edits over and over, and checks after every kill that the entry
# file holds one whole list.
#
#   scripts/soak.sh [KILLS]     (default 200; JUMPNEST_SOAK_SEED repeats a run)
set -uo pipefail
source "$(dirname "$0")/lib.sh"

install_packages || { echo "could not install the packages"; exit 1; }
build_windows || { echo "FAILED: Windows build"; exit 1; }
wine_env
start_xvfb
trap 'stop_xvfb' EXIT
say "Private X display $DISPLAY; making a template Wine prefix"
TEMPLATE="$BUILD/soak/template"
make_prefix "$TEMPLATE"
say "Soak: ${1:-200} kills"
JUMPNEST_SOAK_KILLS="${1:-200}" python3 "$ROOT/tests/e2e/run.py" --build "$BUILD/win" \
  --template "$TEMPLATE" --work "$BUILD/soak" test_crash
