#!/bin/bash
# The video benchmark: the whole job against the encoder run directly, JPEG and PNG sources,
# under its own Xvfb. Prints the times and their ratios.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/build.sh > /dev/null
cmake --build build/windows --target video_bench > /dev/null
display=99
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2> /dev/null' EXIT
export DISPLAY=":$display"
source tools/wine-env.sh
tools/wine-run.sh build/windows/bin/video_bench.exe
