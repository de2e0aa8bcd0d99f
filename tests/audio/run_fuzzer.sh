#!/usr/bin/env bash
# Builds the decoder's libFuzzer target with clang (AddressSanitizer and UBSan) and runs it for
# a while, seeded with the test sounds. Findings are left as crash-* files in the build folder.
# Usage: run_fuzzer.sh [SECONDS]   (default 25; build in $AUTOSHUTDOWN_BUILD/fuzz, else build/fuzz)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-25}
out=${AUTOSHUTDOWN_BUILD:-$root/build}/fuzz
mkdir -p "$out/corpus"
"$root/tests/audio/make_fixtures.sh" "$out/seeds"
# libmpg123 itself is the system's, uninstrumented: the fuzzer steers by our side of the calls.
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$root/src" $(pkg-config --cflags libmpg123) \
  "$root/tests/audio/decode_fuzzer.cpp" "$root/src/services/audio/mpeg_decoder.cpp" \
  $(pkg-config --libs libmpg123) -o "$out/decode_fuzzer"
cd "$out"
./decode_fuzzer -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -print_final_stats=1 corpus seeds
