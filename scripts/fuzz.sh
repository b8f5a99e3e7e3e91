#!/usr/bin/env bash
# Runs a decoder fuzzer for longer than the tests do, keeping its corpus.
#   scripts/fuzz.sh [seconds] [harness]   (default 300 seconds, harness "decoder")
# Harnesses: decoder (lengths hold when bytes are cut off or added),
# oracle (lengths against Zydis in both modes).
set -euo pipefail
. "$(dirname "$0")/common.sh"
seconds=${1:-300}
harness=${2:-decoder}
case "$harness" in
    decoder) fuzzer=decoder_fuzz; corpus=fuzz-corpus ;;
    oracle) fuzzer=decoder_oracle_fuzz; corpus=fuzz-corpus-oracle ;;
    *) echo "fuzz.sh: unknown harness '$harness' (decoder or oracle)" >&2; exit 2 ;;
esac
build_native
mkdir -p "$BUILD/native/$corpus"
cd "$BUILD/native"
exec ./fuzz/$fuzzer -max_total_time="$seconds" -max_len=48 -timeout=10 -jobs=1 "$corpus"
