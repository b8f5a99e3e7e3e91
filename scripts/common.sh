# Shared settings of the build and test scripts (sourced).
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${TW_BUILD:-$ROOT/build}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# A static i386 ELF that only exits with 0 (93 bytes, needs nothing installed).
TW_ELF32=f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAAAAAAAAAAAAADQAIAABAAAAAAAAAAEAAAAAAAAAAIAECACABAhdAAAAXQAAAAUAAAAAEAAAMdu4AQAAAM2A

# True when this host runs 32-bit user code. Some kernels run 64-bit code
# only: every i386 program, 32-bit Wine included, fails with "Exec format
# error". TW_HOST_BITS=64 makes a host count as one of those.
host_runs_32bit() {
    [ "${TW_HOST_BITS:-}" = 64 ] && return 1
    local probe
    probe=$(mktemp)
    echo "$TW_ELF32" | base64 -d > "$probe" && chmod +x "$probe"
    "$probe" 2>/dev/null
    local rc=$?
    rm -f "$probe"
    return $rc
}

# Chooses the program (32 or 64 bits) that the following Wine commands run:
# its Wine loader, prefix and build tree. `wine` then means that loader:
# /usr/bin/wine takes the 32-bit one whenever 32-bit Wine is installed, even
# where it cannot run.
use_arch() {
    case $1 in
        32)
            export WINEARCH=win32 WINEPREFIX=$BUILD/wineprefix
            unset WINELOADER
            TW_WINE=/usr/lib/wine/wine TW_WIN_BUILD=$BUILD/win TW_PROGRAM=dist/tarnwick.exe
            ;;
        64)
            export WINEARCH=win64 WINEPREFIX=$BUILD/wineprefix64 WINELOADER=/usr/lib/wine/wine64
            TW_WINE=/usr/lib/wine/wine64 TW_WIN_BUILD=$BUILD/win64 TW_PROGRAM=dist/x64/tarnwick.exe
            ;;
        *) echo "use_arch: 32 or 64" >&2; return 2 ;;
    esac
    export TW_WINE TW_WIN_BUILD TW_PROGRAM TW_ARCH=$1
}
wine() { "$TW_WINE" "$@"; }
winepath() { "$TW_WINE" winepath "$@"; }
export -f wine winepath

# The bits of the program this host runs best: 32 where it can.
native_arch() { if host_runs_32bit; then echo 32; else echo 64; fi; }

build_arch() {  # build_arch <tree> <i686|x86_64>
    local cpu=${2#mingw-} cache=$BUILD/$1/CMakeCache.txt
    # A tree configured with another toolchain is configured anew.
    if [ -f "$cache" ] && ! grep -qx "TW_CPU:UNINITIALIZED=$cpu" "$cache"; then
        rm -rf "$cache" "$BUILD/$1/CMakeFiles"
    fi
    cmake -S "$ROOT" -B "$BUILD/$1" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw.cmake" -DTW_CPU="$cpu" >/dev/null
    cmake --build "$BUILD/$1"
}

# Both programs, with their tests and tools: dist/tarnwick.exe (i686) and
# dist/x64/tarnwick.exe (x86-64).
build_all() {
    build_arch win i686
    build_arch win64 x86_64
}

build_native() {
    cmake -S "$ROOT" -B "$BUILD/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$BUILD/native"
}

# A private Wine prefix for this tree and the chosen program: made once,
# then reused.
prepare_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine: making the $WINEARCH prefix $WINEPREFIX"
        wine wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
    # No crash dialog from Wine's debugger: a crashing test must end, not hang.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # Wine draws the title bars itself: there is no window manager on the
    # virtual screen, and a managed window's destruction waits 2 s for one.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    # N: is a network drive for the tests, an empty folder of the build.
    rm -rf "$TW_WIN_BUILD/network"
    mkdir -p "$TW_WIN_BUILD/network"
    ln -sfn "$TW_WIN_BUILD/network" "$WINEPREFIX/dosdevices/n:"
    wine reg add 'HKLM\Software\Wine\Drives' /v n: /d network /f >/dev/null 2>&1
    wineserver -w
}

# Keeps one wineserver running for the tests that follow (much faster starts).
start_wineserver() {
    wineserver -p
    wine wineboot >/dev/null 2>&1 || true
}
