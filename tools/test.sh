#!/bin/bash
# The test command: installs what is missing, builds both trees, runs every test headless
# under its own Xvfb and ends with CTest's summary; non-zero on any failure.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/install-deps.sh || exit 1
bash tools/build.sh || exit 1

source tools/xvfb.sh
start_xvfb || exit 1
source tools/wine-env.sh
cleanup() { wineserver -k 2> /dev/null; kill "$XVFB_PID" 2> /dev/null; }
trap cleanup EXIT

# CTEST_JOBS=n runs n tests at once (default: one per core).
jobs=${CTEST_JOBS:-$(nproc)}
ctest --test-dir build/native --output-on-failure -j "$jobs"
native=$?
ctest --test-dir build/windows --output-on-failure -j "$jobs"
windows=$?
[ $native -eq 0 ] && [ $windows -eq 0 ]
