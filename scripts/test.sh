#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
# the native unit tests (sanitizers), then the Wine tests on a virtual screen.
set -euo pipefail
. "$(dirname "$0")/common.sh"
"$ROOT/scripts/setup.sh"
build_native
build_all
prepare_prefix

echo "== native tests"
ctest --test-dir "$BUILD/native" --output-on-failure -j2

echo "== wine tests"
# TW_DISPLAY_NUM picks the virtual screen's number (for runs side by side).
XVFB_DISPLAY=${TW_DISPLAY_NUM:+-n $TW_DISPLAY_NUM}
XVFB_DISPLAY=${XVFB_DISPLAY:--a}
rm -rf "$BUILD/win/work"
xvfb-run $XVFB_DISPLAY -s "-screen 0 1024x768x24" bash -c '
    . "$0/scripts/common.sh"
    start_wineserver
    ctest --test-dir "$BUILD/win" --output-on-failure ${TW_CTEST_ARGS:-}
    rc=$?
    wineserver -k || true
    exit $rc' "$ROOT"
