#!/usr/bin/env bash
# Installs what is missing, builds dist/tarnwick.exe and starts it under Wine.
set -euo pipefail
. "$(dirname "$0")/common.sh"
"$ROOT/scripts/setup.sh"
build_all
prepare_prefix
cd "$ROOT/dist"
if [ -n "${DISPLAY:-}" ]; then
    exec wine tarnwick.exe "$@"
fi
# No display: show it on a virtual screen, keep a screenshot, then close it.
echo "No display: starting on a virtual screen (Xvfb) for ${TW_RUN_SECONDS:-8} s."
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    wine tarnwick.exe "${@:2}" &
    sleep "${TW_RUN_SECONDS:-8}"
    import -window root "$0/run.png"
    wineserver -k' "$BUILD" "$@" || true
echo "Screenshot of the window: $BUILD/run.png"
