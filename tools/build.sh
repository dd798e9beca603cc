#!/bin/bash
# Configures and builds both trees: build/native (pure logic, sanitizers) and build/windows.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
# The encoder shipped beside the program, built from source once and then taken from the cache.
bash tools/encoder/build.sh build/encoder/shipped
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug > /dev/null
cmake --build build/native
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" > /dev/null
cmake --build build/windows
