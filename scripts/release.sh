#!/usr/bin/env bash
# Builds both programs and packs the release: dist/tarnwick-<version>-win32.zip
# with tarnwick.exe (32-bit), x64/tarnwick.exe (64-bit), README.md and
# LICENSE; prints the zip's SHA-256.
# The version is the one in CMakeLists.txt's project(). The zip is the same
# bytes for the same sources: entries are stored in a fixed order with the
# time of the last commit.
set -euo pipefail
. "$(dirname "$0")/common.sh"
"$ROOT/scripts/setup.sh"
build_all >/dev/null

version=$(sed -n 's/^project([^)]*VERSION \([0-9][0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt" | head -n1)
[ -n "$version" ] || { echo "release: no version in CMakeLists.txt" >&2; exit 1; }
zip="$ROOT/dist/tarnwick-$version-win32.zip"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/x64"
cp "$ROOT/dist/tarnwick.exe" "$ROOT/README.md" "$ROOT/LICENSE" "$stage/"
cp "$ROOT/dist/x64/tarnwick.exe" "$stage/x64/"
export TZ=UTC
stamp=$(git -C "$ROOT" log -1 --format=%cd --date=format-local:%Y%m%d%H%M.%S 2>/dev/null || echo 202601010000.00)
touch -t "$stamp" "$stage"/* "$stage"/x64/*
rm -f "$zip"
(cd "$stage" && zip -q -X -9 -D "$zip" tarnwick.exe x64/tarnwick.exe README.md LICENSE)

echo "$zip"
sha256sum "$zip" | cut -d' ' -f1
