#!/usr/bin/env bash
# Installs what is missing, builds both programs and starts the one this host
# can run under Wine (the 32-bit dist/tarnwick.exe where the host runs 32-bit
# code, else dist/x64/tarnwick.exe). Every argument goes to the program:
#   bash scripts/run.sh            the window
#   bash scripts/run.sh "My Demo"  starts the project "My Demo" without one
set -euo pipefail
. "$(dirname "$0")/common.sh"
"$ROOT/scripts/setup.sh"
build_all
use_arch "$(native_arch)"
prepare_prefix
echo "Starting $TW_PROGRAM ($TW_ARCH-bit) under Wine."
cd "$(dirname "$ROOT/$TW_PROGRAM")"
if [ -n "${DISPLAY:-}" ]; then
    exec "$TW_WINE" tarnwick.exe "$@"
fi
# No display: show it on a virtual screen, keep a screenshot, then close it.
echo "No display: starting on a virtual screen (Xvfb) for ${TW_RUN_SECONDS:-8} s."
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    shot=$1
    shift
    "$TW_WINE" tarnwick.exe "$@" &
    sleep "${TW_RUN_SECONDS:-8}"
    import -window root "$shot"
    wineserver -k' run "$BUILD/run.png" "$@" || true
echo "Screenshot of the screen: $BUILD/run.png"
