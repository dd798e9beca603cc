#!/bin/bash
# Builds the GIF walker fuzzer with clang (libFuzzer, ASan, UBSan) into build/fuzz and runs it
# over a copy of the seed corpus. Not part of the test run.
# Usage: gif/fuzz/run.sh [seconds, default 600] [extra libFuzzer options...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out="$root/build/fuzz"
mkdir -p "$out/corpus"
seconds=${1:-600}
shift || true
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
        -I "$root" "$root/gif/fuzz/GifFuzz.cpp" "$root/gif/GifStream.cpp" -o "$out/gif_fuzz"
cp -n "$root"/gif/fuzz/corpus/* "$out/corpus/"
cd "$out"
exec ./gif_fuzz -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$@" corpus
