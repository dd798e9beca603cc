#!/bin/bash
# Benchmarks of listing image files, run on demand:
#   bash bench/run.sh [camera photos listed, default 9999] [photo count, default 200]
#                     [small file count, default 2000]
# Builds the Windows tree, then runs the benchmark under Wine on $DISPLAY, or on an Xvfb of
# its own when no display is set. Prints the ratios measured side by side in one run.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/install-deps.sh > /dev/null || exit 1
bash tools/build.sh > /dev/null || exit 1
cmake --build build/windows --target image_list_bench > /dev/null || exit 1

# 9,999 camera photos, made once and kept: four 12-megapixel JPEGs of different shapes, each
# with the EXIF a camera writes (capture time, orientation, thumbnail) ahead of the picture,
# hard-linked under names that mix the four, so every row's size must really come from its
# own file. plain/ holds the same photos with their EXIF stripped.
photos=$root/build/bench-photos
if [ ! -f "$photos/plain/expected.txt" ]; then
  rm -rf "$photos" && mkdir -p "$photos/sources" "$photos/plain" || exit 1
  sizes=(4032x3024 3024x4032 4000x3000 4032x2268)
  for k in 0 1 2 3; do
    convert -size 320x240 -seed "$k" plasma:fractal -quality 95 "$photos/sources/thumb.jpg" &&
    convert -size "${sizes[$k]}" -seed "$k" plasma:fractal -quality 92 "$photos/sources/$k.jpg" &&
    exiftool -q -overwrite_original "-ThumbnailImage<=$photos/sources/thumb.jpg" -Make=Lumvex -Model=Bench \
             -Orientation#=1 -DateTimeOriginal="2024:06:0$((k + 1)) 12:34:56" -SubSecTimeOriginal=$((k * 7)) \
             "$photos/sources/$k.jpg" &&
    exiftool -q -all= -o "$photos/sources/plain-$k.jpg" "$photos/sources/$k.jpg" || exit 1
  done
  for i in $(seq 1 9999); do
    k=$(( (i * 7 + i / 13) % 4 ))
    name=$(printf 'IMG_%04d.JPG' "$i")
    ln "$photos/sources/$k.jpg" "$photos/$name" && ln "$photos/sources/plain-$k.jpg" "$photos/plain/$name" || exit 1
    echo "$name ${sizes[$k]/x/ X }"
  done > "$photos/expected.tmp" && cp "$photos/expected.tmp" "$photos/plain/expected.txt" &&
    mv "$photos/expected.tmp" "$photos/expected.txt"
fi

source tools/xvfb.sh
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb || exit 1
  trap 'kill "$XVFB_PID"' EXIT
fi
source tools/wine-env.sh
# As for the tests: no window manager answers under Xvfb, so Wine would wait 2 s at every
# window it maps, which no user's desktop does.
wine reg add 'HKCU\Software\Wine\AppDefaults\image_list_bench.exe\X11 Driver' /v Managed /d N /f > /dev/null 2>&1
wine build/windows/bin/image_list_bench.exe "$(winepath -w "$photos/")" "$@" < /dev/null
