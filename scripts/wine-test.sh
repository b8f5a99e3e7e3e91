#!/usr/bin/env bash
# Runs one cross-built test program under Wine: ctest's emulator for the
# Windows build trees.   wine-test.sh <32|64> program.exe [argument...]
# A 32-bit program on a host that runs 64-bit user code only is reported
# to ctest as not run (77), never as passed.
. "$(dirname "$0")/common.sh"
bits=$1
shift
if [ "$bits" = 32 ] && ! host_runs_32bit; then
    echo "not run: this host runs 64-bit user code only; no 32-bit program starts here"
    exit 77
fi
use_arch "$bits"
# The output goes through a file, not ctest's pipe: a helper that Wine starts
# from inside a test (the desktop process, explorer.exe /desktop, which can
# outlive every window) inherits the output and would keep ctest waiting for
# the pipe's end until the test's timeout.
out=$(mktemp)
trap 'cat "$out"; rm -f "$out"' EXIT
"$TW_WINE" "$@" > "$out" 2>&1
