#!/bin/bash
# Benchmarks of listing image files, run on demand:
#   bash bench/run.sh [photo count, default 200] [small file count, default 2000]
# Builds the Windows tree, then runs the benchmark under Wine on $DISPLAY, or on an Xvfb of
# its own when no display is set. Prints the ratios measured side by side in one run.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/build.sh > /dev/null || exit 1
source tools/xvfb.sh
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb || exit 1
  trap 'kill "$XVFB_PID"' EXIT
fi
source tools/wine-env.sh
wine build/windows/bin/image_list_bench.exe "$@" < /dev/null
