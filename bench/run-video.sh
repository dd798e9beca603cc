#!/bin/bash
# The video benchmark, run on demand:  bash bench/run-video.sh
# The whole video job against the encoder run directly on the same sources, for 200 JPEG and
# 200 PNG frames of 1920 x 1080, side by side in one run, with where the job's time goes.
# Runs on $DISPLAY, or on an Xvfb of its own when no display is set.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/build.sh > /dev/null
source tools/xvfb.sh
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb || exit 1
  trap 'kill "$XVFB_PID"' EXIT
fi
source tools/wine-env.sh
status=0
# The machine is shared: the load beside the figures tells how far to trust them.
uptime
# Inside Wine's own desktop: on a bare X server without a window manager, Wine waits two
# seconds for every closed top-level window to be withdrawn, which would be charged to the job.
wine explorer /desktop=video-bench,1280x1024 build/windows/bin/video_bench.exe || status=$?
uptime
exit $status
