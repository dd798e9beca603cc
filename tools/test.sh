#!/bin/bash
# The test command: installs what is missing, builds both trees, runs every test headless
# under its own Xvfb and ends with CTest's summary; non-zero on any failure.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
# Where the time goes, printed at the end.
times=()
phase() { times+=("$1 $((SECONDS - ${last:-0}))s"); last=$SECONDS; }
bash tools/install-deps.sh || exit 1
phase install
bash tools/build.sh || exit 1
phase build

source tools/xvfb.sh
start_xvfb || exit 1
source tools/wine-env.sh
phase wine-prefix
# The encoder under test, as it names itself.
wine build/windows/bin/ffmpeg.exe -hide_banner -version 2> /dev/null | tr -d '\r' | head -3
cleanup() { wineserver -k 2> /dev/null; kill "$XVFB_PID" 2> /dev/null; }
trap cleanup EXIT

# CTEST_JOBS=n runs n tests at once (default: one per core).
jobs=${CTEST_JOBS:-$(nproc)}
ctest --test-dir build/native --output-on-failure -j "$jobs"
native=$?
phase native-tests
ctest --test-dir build/windows --output-on-failure -j "$jobs"
windows=$?
phase windows-tests
echo "Time: ${times[*]}"
[ $native -eq 0 ] && [ $windows -eq 0 ]
