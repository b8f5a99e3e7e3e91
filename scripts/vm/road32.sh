#!/usr/bin/env bash
# Runs inside the emulated machine (run32.sh's default command): the 32-bit
# program's command-line road and one crash report under 32-bit Wine, in a
# fresh win32 prefix on the guest's tmpfs, on a virtual screen.
# TW_VM_ROAD and TW_VM_TRAP are the two test programs' --gtest_filter: the
# whole road (a project started by name through the real cmd.exe reaching
# the stand-in editor, refusal boxes, the window road), the real
# program's error report and the exception chain on the trap's reserve stack.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${TW_BUILD:-$ROOT/build}
WIN=${TW_VM_WIN:-$BUILD/win}  # the 32-bit build: tests/ and tools/
EXE=$ROOT/dist/tarnwick.exe
ROAD=${TW_VM_ROAD:-'CommandLineRoad.*'}
TRAP=${TW_VM_TRAP:-'CrashTrap.TheProgramReportsAFaultMadeFromOutside:CrashTrap.OnTheReserveStack*'}

export TW_TIME_SCALE=${TW_TIME_SCALE:-4}
export TW_EXE=$EXE TW_TOOLS=$WIN/tools TW_WORK=/tmp/work
export WINEPREFIX=/tmp/wineprefix WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
booted=$(cut -d. -f1 /proc/uptime)
passed=0 failed=0

summary() {
    local total=$(($(cut -d. -f1 /proc/uptime)))
    if (($1 == 0 && failed == 0 && passed > 0)); then
        echo "== 32-bit program (dist/tarnwick.exe) in an emulated machine: $passed tests passed in $total s"
    else
        echo "== 32-bit program (dist/tarnwick.exe) in an emulated machine: FAILED ($passed passed, $failed failed) in $total s"
    fi
}

# Runs one Wine test program with a filter; counts its results.
run_test() {
    local exe=$1 filter=$2 start=$SECONDS log=/tmp/$1.log
    wine "$WIN/tests/$exe" --gtest_color=no --gtest_filter="$filter" >"$log" 2>&1
    local rc=$?
    cat "$log"
    passed=$((passed + $(grep -c '^\[       OK \]' "$log")))
    failed=$((failed + $(grep -c '^\[  FAILED  \] [A-Za-z]*\.[A-Za-z]* (' "$log")))
    ((rc == 0)) || failed=$((failed > 0 ? failed : 1))
    echo "-- $exe: $((SECONDS - start)) s (exit $rc)"
}

echo "-- booted in $booted s; TW_TIME_SCALE=$TW_TIME_SCALE"
for f in /usr/lib/wine/wine "$EXE" "$WIN/tests/cmdline_road_test.exe" "$WIN/tests/trap_test.exe"; do
    [ -e "$f" ] || { echo "missing: $f (32-bit Wine is the package wine32:i386)"; summary 1; exit 1; }
done

Xvfb :7 -screen 0 1024x768x24 -nolisten tcp >/tmp/xvfb.log 2>&1 &
export DISPLAY=:7
start=$SECONDS
wineboot -i >/dev/null 2>&1
wineserver -w
# As the host's test prefix: no crash dialog, Wine's own title bars.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
echo "-- win32 prefix: $((SECONDS - start)) s"
start=$SECONDS
wineserver -p
wine wineboot >/dev/null 2>&1
echo "-- wineserver warm: $((SECONDS - start)) s"

mkdir -p "$TW_WORK"
run_test cmdline_road_test.exe "$ROAD"
run_test trap_test.exe "$TRAP"
wineserver -k
# Screenshots of failures survive in the shared folder.
[ -d "$TW_WORK/screenshots" ] && [ -n "${TW_VM_SHARE:-}" ] && cp -r "$TW_WORK/screenshots" "$TW_VM_SHARE/"
summary 0
((failed == 0 && passed > 0))
