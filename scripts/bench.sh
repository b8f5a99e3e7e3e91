#!/usr/bin/env bash
# Builds and runs the benchmarks; prints figures and ratios (not a test).
set -euo pipefail
. "$(dirname "$0")/common.sh"
"$ROOT/scripts/setup.sh"
build_native
build_all
prepare_prefix

echo "== program size"
size=$(stat -c %s "$ROOT/dist/tarnwick.exe")
echo "dist/tarnwick.exe: $size bytes ($((size / 1024)) KB; budget 256 KB)"

echo "== store (native)"
"$BUILD/native/store_bench"

echo "== under Wine"
mkdir -p "$BUILD/win/work"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    . "$0/scripts/common.sh"
    start_wineserver
    cd "$BUILD/win/bench"
    wine cmdline_bench.exe "$(winepath -w "$0/dist/tarnwick.exe")" "$(winepath -w "$BUILD/win/work/bench-cmdline")"
    wine window_bench.exe "$(winepath -w "$0/dist/tarnwick.exe")" "$(winepath -w "$BUILD/win/work/bench-window")"
    echo "== explorer tree (under Wine)"
    wine tree_bench.exe "$(winepath -w "$BUILD/win/work/bench-tree")" 2> >(grep -v "FS volume label" >&2)
    wineserver -k' "$ROOT"
