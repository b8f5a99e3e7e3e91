#!/usr/bin/env bash
# Builds both programs and packs the release into dist/:
#   tarnwick-<version>-win32.zip  Tarnwick/tarnwick.exe (32-bit), ReadMe.txt, LICENSE.txt
#   tarnwick-<version>-win64.zip  the same with the 64-bit program
#   SHA256SUMS.txt                both zips' SHA-256
#   scoop/, winget/               package manifests naming the zips and their hashes
# The version is the one in CMakeLists.txt's project(). ReadMe.txt is
# docs/ReadMe.txt for Notepad (UTF-8 with a byte order mark, CR LF).
# TW_RELEASE_URL names the folder the zips are published in, TW_HOMEPAGE the
# project's page; the manifests name both.
# The zips are the same bytes for the same sources, in any folder: the
# programs carry no time stamp, and the entries are stored in a fixed order
# with fixed modes and the time of the last commit.
set -euo pipefail
. "$(dirname "$0")/common.sh"
"$ROOT/scripts/setup.sh"
build_all >/dev/null

version=$(sed -n 's/^project([^)]*VERSION \([0-9][0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt" | head -n1)
[ -n "$version" ] || { echo "release: no version in CMakeLists.txt" >&2; exit 1; }
dist=$ROOT/dist

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
export TZ=UTC
stamp=$(git -C "$ROOT" log -1 --format=%cd --date=format-local:%Y%m%d%H%M.%S 2>/dev/null || echo 202601010000.00)
for bits in 32 64; do
    folder=$stage/$bits/Tarnwick
    mkdir -p "$folder"
    if [ "$bits" = 32 ]; then cp "$dist/tarnwick.exe" "$folder/"; else cp "$dist/x64/tarnwick.exe" "$folder/"; fi
    { printf '\357\273\277'; sed 's/$/\r/' "$ROOT/docs/ReadMe.txt"; } > "$folder/ReadMe.txt"
    sed 's/$/\r/' "$ROOT/LICENSE" > "$folder/LICENSE.txt"
    chmod 755 "$folder/tarnwick.exe"
    chmod 644 "$folder/ReadMe.txt" "$folder/LICENSE.txt"
    touch -t "$stamp" "$folder"/*
    zip=$dist/tarnwick-$version-win$bits.zip
    rm -f "$zip"
    (cd "$stage/$bits" && zip -q -X -9 -D "$zip" Tarnwick/tarnwick.exe Tarnwick/ReadMe.txt Tarnwick/LICENSE.txt)
done

(cd "$dist" && sha256sum "tarnwick-$version-win32.zip" "tarnwick-$version-win64.zip" > SHA256SUMS.txt)
python3 "$ROOT/scripts/package_manifests.py" "$dist" "$version" \
    "${TW_RELEASE_URL:-https://tarnwick.invalid/download/$version}" "${TW_HOMEPAGE:-https://tarnwick.invalid/}"

echo "$dist:"
cat "$dist/SHA256SUMS.txt"
