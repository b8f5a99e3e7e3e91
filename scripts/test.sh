#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the
# native unit tests (sanitizers), the release's zips and manifests, then the
# Wine tests on a virtual screen, against the programs this host can run.
# Its last line sums what every runner reported: "N passed, N failed, N skipped".
set -euo pipefail
. "$(dirname "$0")/common.sh"

# run_wine_tests <bits> <what> [ctest arguments]: one program's Wine tests
# in its own prefix, with one wineserver kept running for them.
run_wine_tests() {
    local bits=$1 what=$2
    shift 2
    use_arch "$bits"
    echo "== wine tests: $what against $TW_PROGRAM ($bits-bit, $WINEARCH prefix)"
    prepare_prefix
    rm -rf "$TW_WIN_BUILD/work"
    # TW_DISPLAY_NUM picks the virtual screen's number (for runs side by side).
    local display=${TW_DISPLAY_NUM:+-n $TW_DISPLAY_NUM}
    xvfb-run ${display:--a} -s "-screen 0 1024x768x24" bash -c '
        . "$0/scripts/common.sh"
        use_arch "$1"
        shift
        start_wineserver
        rc=0
        ctest --test-dir "$TW_WIN_BUILD" --output-on-failure "$@" || rc=$?
        wineserver -k || true
        exit $rc' "$ROOT" "$bits" "$@" ${TW_CTEST_ARGS:-}
}

run_everything() {
    "$ROOT/scripts/setup.sh"
    build_native
    build_all

    echo "== native tests"
    ctest --test-dir "$BUILD/native" --output-on-failure -j2

    local rc=0
    echo "== release: the zips, their ReadMe and the package manifests"
    { bash "$ROOT/scripts/release.sh" >/dev/null && python3 "$ROOT/tests/release/release_test.py"; } || rc=1

    if host_runs_32bit; then
        run_wine_tests 32 "every test" || rc=1
        run_wine_tests 64 "the command-line road, window start and crash trap" \
            -R '^(cmdline_road_test|main_window_start_test|trap_test)$' || rc=1
    else
        echo "== this host runs 64-bit user code only: $ROOT/dist/tarnwick.exe (32-bit) was built, but no 32-bit program starts here"
        run_wine_tests 64 "every test" || rc=1
        use_arch 32
        echo "== wine tests against $TW_PROGRAM (32-bit): not run on this host"
        ctest --test-dir "$TW_WIN_BUILD" ${TW_CTEST_ARGS:-} || rc=1
    fi
    # The 32-bit program's command-line road and a crash report, in a
    # software-emulated machine that runs 32-bit code: where the host cannot
    # (TW_VM=0 leaves it out), or anywhere with TW_VM=1.
    if [ "${TW_VM:-}" = 1 ] || { [ "${TW_VM:-}" != 0 ] && ! host_runs_32bit; }; then
        echo "== wine tests against dist/tarnwick.exe (32-bit) in an emulated machine"
        bash "$ROOT/scripts/vm/run32.sh" || rc=1
    fi
    return $rc
}

# tally <log>: the counts that ctest, unittest and the emulated machine printed.
tally() {
    awk '
    / tests passed, [0-9]+ tests failed out of [0-9]+$/ { total += $NF; failed += $(NF-5) }
    /\*\*\*Skipped/ { skipped++ }
    /^Ran [0-9]+ tests? in / { ran = $2 }
    /^OK( |$)/ && ran { total += ran; ran = 0 }
    /^FAILED \(/ && ran {
        total += ran; ran = 0
        n = split($0, f, /[=,)]/)
        for (i = 1; i <= n; i++) if (f[i] ~ /^[0-9]+$/) failed += f[i]
    }
    / in an emulated machine: [0-9]+ tests passed in / { sub(/.*machine: /, ""); total += $1 }
    /in an emulated machine: FAILED \(/ { sub(/.*FAILED \(/, ""); total += $1 + $3; failed += $3 }
    END { printf "tarnwick: %d passed, %d failed, %d skipped\n", total - failed - skipped, failed, skipped }
    ' "$1"
}

mkdir -p "$BUILD"
log=$BUILD/test.log
set +e
(set -e; run_everything) 2>&1 | tee "$log"
rc=${PIPESTATUS[0]}
set -e
tally "$log"
exit "$rc"
