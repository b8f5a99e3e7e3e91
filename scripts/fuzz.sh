#!/usr/bin/env bash
# Runs a fuzzer for longer than the tests do, keeping its corpus.
#   scripts/fuzz.sh [seconds] [harness]   (default 300 seconds, harness "decoder")
# Harnesses: decoder (lengths hold when bytes are cut off or added),
# oracle (lengths against Zydis in both modes), store (the project file's
# lines, removal and new lines), pref (preference files read and written).
set -euo pipefail
. "$(dirname "$0")/common.sh"
seconds=${1:-300}
harness=${2:-decoder}
case "$harness" in
    decoder) fuzzer=decoder_fuzz; corpus=fuzz-corpus; max_len=48 ;;
    oracle) fuzzer=decoder_oracle_fuzz; corpus=fuzz-corpus-oracle; max_len=48 ;;
    store) fuzzer=store_fuzz; corpus=fuzz-corpus-store; max_len=4096 ;;
    pref) fuzzer=pref_fuzz; corpus=fuzz-corpus-pref; max_len=4096 ;;
    *) echo "fuzz.sh: unknown harness '$harness' (decoder, oracle, store or pref)" >&2; exit 2 ;;
esac
build_native
mkdir -p "$BUILD/native/$corpus"
cd "$BUILD/native"
exec ./fuzz/$fuzzer -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -jobs=1 "$corpus"
