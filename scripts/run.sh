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
echo "No display: starting on a virtual screen (Xvfb); a screenshot goes to build/run.png after 5 s."
exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c \
    'wine tarnwick.exe "$@" & sleep 5; import -window root "$0/run.png"; wait' "$BUILD" "$@"
