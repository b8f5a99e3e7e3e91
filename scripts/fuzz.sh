#!/usr/bin/env bash
# Runs a fuzzer for longer than the tests do, keeping its corpus.
#   scripts/fuzz.sh [seconds] [harness]   (default 300 seconds, harness "decoder")
# Harnesses: decoder (lengths hold when bytes are cut off or added),
# oracle (lengths against Zydis in both modes), store (the project file's
# lines, removal and new lines), pref (preference files read and written),
# start_line (a project line runs only as an editor and quoted paths, in
# batch lines that hold just them), names (a collected path comes back from
# its project line unchanged), cmdline (the parameter reader's tokens and the
# name in a message).
set -euo pipefail
. "$(dirname "$0")/common.sh"
seconds=${1:-300}
harness=${2:-decoder}
case "$harness" in
    decoder) fuzzer=decoder_fuzz; maxlen=48 ;;
    oracle) fuzzer=decoder_oracle_fuzz; maxlen=48 ;;
    store) fuzzer=store_fuzz; maxlen=4096 ;;
    pref) fuzzer=pref_fuzz; maxlen=4096 ;;
    start_line) fuzzer=start_line_fuzz; maxlen=200 ;;
    names) fuzzer=names_fuzz; maxlen=300 ;;
    cmdline) fuzzer=cmdline_fuzz; maxlen=100 ;;
    *) echo "fuzz.sh: unknown harness '$harness' (decoder, oracle, store, pref, start_line, names or cmdline)" >&2; exit 2 ;;
esac
corpus=fuzz-corpus-$harness
[ "$harness" = decoder ] && corpus=fuzz-corpus
build_native
mkdir -p "$BUILD/native/$corpus"
cd "$BUILD/native"
exec ./fuzz/$fuzzer -max_total_time="$seconds" -max_len="$maxlen" -timeout=10 -jobs=1 "$corpus"
