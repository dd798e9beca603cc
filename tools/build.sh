#!/bin/bash
# Configures and builds both trees: build/native (pure logic, sanitizers) and build/windows.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug > /dev/null
cmake --build build/native
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" > /dev/null
cmake --build build/windows
