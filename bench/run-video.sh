#!/bin/bash
# The video benchmark, run on demand:  bash bench/run-video.sh
# The whole video job against the same encoder run directly on the same sources, for 200 JPEG
# and 200 PNG frames of 1920 x 1080, side by side in one run, with where the job's time goes:
# once with the encoder shipped beside the program, once with the genuine Windows 4.1 build.
# With "camera": 200 camera JPEGs (4000 x 3000, 4:2:2, made by ImageMagick once and kept in
# build/bench-camera) to 1080p MP4 and AVI, the job in segments on every core against one run.
# With "stamp": the same camera JPEGs to a 1080p MP4 with and without a date stamp, with the
# encoder shipped beside the program, and where a stamped frame's time goes.
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
if [ "${1:-}" = camera ] || [ "${1:-}" = stamp ]; then
  camera=build/bench-camera
  if [ ! -f "$camera/cam_0200.jpg" ]; then
    echo "Making 200 camera JPEGs (ImageMagick) ..."
    mkdir -p "$camera"
    convert -size 4400x3000 -seed 3 plasma:fractal -blur 0x1 -attenuate 0.3 +noise Gaussian "$camera/photo.miff"
    # In batches: a 4000 x 3000 picture takes 96 MB in ImageMagick's memory.
    for ((batch = 0; batch < 200; batch += 10)); do
      crops=()
      for ((i = batch; i < batch + 10; i++)); do
        crops+=( \( mpr:photo -crop "4000x3000+$((i * 2))+0" +repage \) )
      done
      convert "$camera/photo.miff" -write mpr:photo +delete "${crops[@]}" -sampling-factor 2x1 -quality 92 \
        -scene $((batch + 1)) +adjoin "$camera/cam_%04d.jpg"
    done
    rm "$camera/photo.miff"
  fi
  arguments=("Z:$(cd "$camera" && pwd | tr / '\\')\\")
fi
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
bin=build/windows/bin
cp "$bin/video_bench.exe" "$bin/genuine-4.1/"
for bench in "$bin/video_bench.exe" "$bin/genuine-4.1/video_bench.exe"; do
  echo "== $(wine "$(dirname "$bench")/ffmpeg.exe" -version | head -1)"
  wine explorer /desktop=video-bench,1280x1024 "$bench" "${arguments[@]}" || status=$?
done
uptime
exit $status
