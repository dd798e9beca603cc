#!/bin/bash
# The video benchmark, run on demand:  bash bench/run-video.sh
# The whole video job against the same encoder run directly on the same sources, for 200 JPEG
# and 200 PNG frames of 1920 x 1080, side by side in one run, with where the job's time goes:
# once with the genuine Windows encoder beside the program, once with the bridge to the host's.
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
# The bridge's turn: a folder where it stands beside the benchmark as the encoder.
bin=build/windows/bin
bridged=build/windows/bench-bridge
mkdir -p "$bridged/bridge"
cp "$bin/video_bench.exe" "$bin/bridge/ffmpeg.exe" "$bridged/"
cp "$bin/bridge/ffmpeg.exe" "$bridged/bridge/"
for bench in "$bin/video_bench.exe" "$bridged/video_bench.exe"; do
  wine explorer /desktop=video-bench,1280x1024 "$bench" || status=$?
done
uptime
exit $status
