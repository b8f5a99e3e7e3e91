#!/usr/bin/env bash
# Builds and runs the benchmarks; prints figures and ratios (not a test).
# Where the host runs 32-bit code: every benchmark against the 32-bit
# program, and the command-line road of the 64-bit one against its own
# floors. Elsewhere every benchmark against the 64-bit program.
set -euo pipefail
. "$(dirname "$0")/common.sh"
"$ROOT/scripts/setup.sh"
build_native
build_all

echo "== program sizes"
for exe in dist/tarnwick.exe dist/x64/tarnwick.exe; do
    size=$(stat -c %s "$ROOT/$exe")
    echo "$exe: $size bytes ($((size / 1024)) KB)"
done

echo "== store (native)"
"$BUILD/native/store_bench"

# wine_bench <bits> <all|cmdline>: the benchmarks of one program, built for
# its bits, each run on its own floors.
wine_bench() {
    use_arch "$1"
    prepare_prefix
    echo "== under Wine: $TW_PROGRAM ($1-bit)"
    mkdir -p "$TW_WIN_BUILD/work"
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        . "$0/scripts/common.sh"
        use_arch "$1"
        start_wineserver
        cd "$TW_WIN_BUILD/bench"
        program=$(winepath -w "$0/$TW_PROGRAM")
        wine cmdline_bench.exe "$program" "$(winepath -w "$TW_WIN_BUILD/work/bench-cmdline")"
        if [ "$2" = all ]; then
            wine window_bench.exe "$program" "$(winepath -w "$TW_WIN_BUILD/work/bench-window")"
            echo "== explorer tree (under Wine)"
            wine tree_bench.exe "$(winepath -w "$TW_WIN_BUILD/work/bench-tree")" 2> >(grep -v "FS volume label" >&2)
        fi
        wineserver -k' "$ROOT" "$1" "$2"
}

if host_runs_32bit; then
    wine_bench 32 all
    wine_bench 64 cmdline
else
    echo "== this host runs 64-bit user code only: the 32-bit program is not measured here"
    wine_bench 64 all
fi
