#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 (run as root).
# Quick and silent when everything is there already. 32-bit Wine is
# installed even where the kernel cannot run it: the emulated machine that
# tests the 32-bit program there runs this system's files.
set -euo pipefail
need=(cmake ninja-build g++ googletest libgtest-dev g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
      wine wine32:i386 wine64 xvfb xauth xdotool imagemagick clang-14 libclang-rt-14-dev python3 python3-yaml zip gcc gcc-multilib
      libzydis-dev libcapstone-dev locales)
missing=()
for p in "${need[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# The locales of a German and an English system: Wine takes a process's
# code pages from its locale (OEM 850 and 437), and the tests of paths
# beyond ASCII run the program under both.
for l in de_DE en_US; do
    locale -a 2>/dev/null | grep -qx "$l.utf8" || localedef -i "$l" -c -f UTF-8 "$l.UTF-8"
done
