#!/bin/bash
# Screenshots of every dialog at 96, 144 and 192 dpi, to look at: build/windows/bin/
# <dialog>_<dpi>dpi.png. Needs a built tree and a display (DISPLAY).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tests="$root/build/windows/bin/ui_tests.exe"
export LUMVEX_SCREENSHOTS=1
LUMVEX_EXPECTED_DPI=96 "$root/tools/wine-run.sh" "$tests" --gtest_filter='DpiScaling.*'
for dpi in 144 192; do
  LUMVEX_EXPECTED_DPI=$dpi "$root/tools/wine-at-dpi.sh" "$dpi" "$tests" --gtest_filter='DpiScaling.*'
done
