#!/bin/bash
# The run command: installs what is missing, builds, and starts the program under Wine on
# the user's display.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/install-deps.sh
bash tools/build.sh
source tools/wine-env.sh
wine build/windows/bin/LumvexTimeLapseVideo.exe
