#!/usr/bin/env bash
# Runs the decoder fuzzer for longer than the test does, keeping its corpus.
#   scripts/fuzz.sh [seconds]   (default 300)
set -euo pipefail
. "$(dirname "$0")/common.sh"
seconds=${1:-300}
build_native
corpus=$BUILD/native/fuzz-corpus
mkdir -p "$corpus"
cd "$BUILD/native"
exec ./fuzz/decoder_fuzz -max_total_time="$seconds" -max_len=48 -timeout=10 -jobs=1 "$corpus"
