#!/bin/bash
# Benchmarks of listing image files, run on demand:
#   bash bench/run.sh [photo count, default 200] [small file count, default 2000]
# Builds the Windows tree, then runs the benchmark under Wine on $DISPLAY, or on an Xvfb of
# its own when no display is set. Prints the ratios measured side by side in one run.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/build.sh > /dev/null || exit 1
if [ -z "${DISPLAY:-}" ]; then
  display=99
  while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
  xvfb=$!
  trap 'kill "$xvfb"' EXIT
  export DISPLAY=":$display"
  for _ in $(seq 50); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done
fi
# Its last step keeps a wine server alive, and fails when one already is.
source tools/wine-env.sh > /dev/null 2>&1 < /dev/null
wine build/windows/bin/image_list_bench.exe "$@" < /dev/null
