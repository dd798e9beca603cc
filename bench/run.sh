#!/bin/bash
# Benchmarks of listing image files, run on demand:  bash bench/run.sh [photo count]
# Builds the Windows tree, then runs the benchmark under Wine on $DISPLAY, or on an Xvfb of
# its own when no display is set. Prints the ratios measured side by side in one run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/build.sh > /dev/null
xvfb=""
if [ -z "${DISPLAY:-}" ]; then
  display=99
  while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=":$display"
  sleep 1
fi
source tools/wine-env.sh
status=0
wine build/windows/bin/image_list_bench.exe "$@" || status=$?
[ -n "$xvfb" ] && kill "$xvfb"
exit $status
