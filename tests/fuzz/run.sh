#!/bin/bash
# Fuzzes the image header and EXIF readers with libFuzzer for a while:  bash tests/fuzz/run.sh [seconds]
# Builds with clang (address and undefined-behaviour sanitizers) into build/fuzz, starting
# from the test fixtures as corpus.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out="$root/build/fuzz"
mkdir -p "$out/corpus"
flags=(-std=c++17 -g -O1 -I"$root")
bash "$root/tests/fixtures/make-fixtures.sh" "$out/corpus"
rm "$out/corpus/stamp"
clang++ "${flags[@]}" -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
        -o "$out/image_header_fuzz" "$root/tests/fuzz/ImageHeaderFuzz.cpp" "$root/imaging/ImageHeader.cpp" \
        "$root/imaging/ExifReader.cpp" "$root/imaging/ByteSource.cpp"
"$out/image_header_fuzz" -max_total_time="${1:-60}" -max_len=4096 "$out/corpus"
