#!/bin/bash
# The video benchmark, run on demand:  bash bench/run-video.sh
# The whole video job against the same encoder run directly on the same sources, for 200 JPEG
# and 200 PNG frames of 1920 x 1080, side by side in one run, with where the job's time goes:
# once with the encoder shipped beside the program, once with the genuine Windows 4.1 build.
# With "camera": 200 camera JPEGs (4000 x 3000, 4:2:2, made by ImageMagick once and kept in
# build/bench-camera) to 1080p MP4 and AVI, the job in segments on every core against one run.
# With "stamp": the same camera JPEGs to a 1080p MP4 with and without a date stamp, with the
# encoder shipped beside the program, and where a stamped frame's time goes.
# With "preview": the preview of 1,000 such JPEGs against their 1080p MP4, shipped encoder only.
# Runs on $DISPLAY, or on an Xvfb of its own when no display is set.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/install-deps.sh > /dev/null
bash tools/build.sh > /dev/null
cmake --build build/windows --target video_bench stamp_bench > /dev/null
source tools/xvfb.sh
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb || exit 1
  trap 'kill "$XVFB_PID"' EXIT
fi
source tools/wine-env.sh
status=0
arguments=()
bin=build/windows/bin
benches=("$bin/video_bench.exe" "$bin/genuine-4.1/video_bench.exe")
source bench/camera-photos.sh
case "${1:-}" in
  camera | stamp) arguments=("$(winepath -w "$(camera_photos 200)")\\") ;;
  preview) arguments=(preview "$(winepath -w "$(camera_photos 1000)")\\")
           benches=("${benches[0]}") ;;
esac
# The machine is shared: the load beside the figures tells how far to trust them.
uptime
if [ "${1:-}" = stamp ]; then
  wine build/windows/bin/stamp_bench.exe "${arguments[@]}" || status=$?
  uptime
  exit $status
fi
# Inside Wine's own desktop: on a bare X server without a window manager, Wine waits two
# seconds for every closed top-level window to be withdrawn, which would be charged to the job.
# The genuine encoder's turn: the benchmark copied into its folder, beside it.
cp "$bin/video_bench.exe" "$bin/genuine-4.1/"
for bench in "${benches[@]}"; do
  echo "== $(wine "$(dirname "$bench")/ffmpeg.exe" -version | head -1)"
  wine explorer /desktop=video-bench,1280x1024 "$bench" "${arguments[@]}" || status=$?
done
uptime
exit $status
