#!/bin/bash
# The encoder settings measured on pictures, run on demand:  bash bench/run-formats.sh
# Runs the shipped encoder under Wine with exactly the arguments the job gives it (built from
# the product's own command-line code); the host's ffmpeg only measures. Prints:
#   - AVI and FLV against their sources on a 1920 x 1080 photographic pan (40 crops moving
#     40 px a frame): SSIM and file size; the aim is SSIM >= 0.97;
#   - "Remove brightness flicker" on 60 frames whose exposure is scaled at random by up to
#     +-20 %: mean frame-to-frame change of the average brightness, ticked over clear (aim
#     <= 0.25), and the same made in 3 segments and joined against one run (aim: within 10 %);
#     and on a steady sequence, SSIM of ticked against clear (aim >= 0.98);
#   - the H.264 profile and level of every fixed size at 25 and 50 frames a second, 4K among them.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/encoder-arguments-setup.sh"
# Wine reads a host path ("/tmp/...") as one on the current drive, which is the host's root.
shipped() { wine build/windows/bin/ffmpeg.exe "$@"; }

# encode RATE SIZE DEFLICKER FOLDER DESTINATION: the job's encoder run over FOLDER/seq_%04d.jpg.
encode() {
  local args
  mapfile -t args < <(build/native/bench/encoder_arguments "$1" "$2" "$3" 2 "$4/" seq "$5")
  shipped -v error -nostdin "${args[@]}"
}
# ssim VIDEO REFERENCE: the mean SSIM over all frames.
ssim() {
  ffmpeg -nostdin -i "$1" -i "$2" -lavfi "[0:v][1:v]ssim" -f null - 2>&1 | sed -n 's/.* All:\([0-9.]*\).*/\1/p'
}
# flicker VIDEO: mean absolute frame-to-frame change of the average luma.
flicker() {
  ffmpeg -v error -nostdin -i "$1" -vf signalstats,metadata=print:key=lavfi.signalstats.YAVG:file=- -f null - \
    | sed -n 's/.*YAVG=//p' | awk 'NR > 1 { d = $1 - p; s += d < 0 ? -d : d; n++ } { p = $1 } END { printf "%.3f", s / n }'
}
# crops SOURCE FOLDER COUNT WxH STEP: COUNT crops moving STEP px a frame, with extra ImageMagick
# operators per frame read from stdin when given (one line a frame).
crops() {
  local source=$1 folder=$2 count=$3 size=$4 step=$5 args=() extra i
  mkdir -p "$folder"
  for ((i = 0; i < count; i++)); do
    read -r extra || extra=
    # shellcheck disable=SC2206
    args+=( \( mpr:photo -crop "$size+$((i * step))+0" +repage $extra \) )
  done
  convert "$source" -write mpr:photo +delete "${args[@]}" -quality 92 -scene 1 +adjoin "$folder/seq_%04d.jpg"
}

echo "Making a photographic 3520 x 1080 picture and the sequences (ImageMagick) ..."
convert -size 3520x1080 -seed 7 plasma:fractal -blur 0x1 -attenuate 0.25 +noise Gaussian -quality 92 "$work/photo.jpg"
crops "$work/photo.jpg" "$work/pan" 40 1920x1080 40 < /dev/null
awk 'BEGIN { srand(11); for (i = 0; i < 60; i++) printf "-evaluate multiply %.3f\n", 0.8 + 0.4 * rand() }' \
  | crops "$work/photo.jpg" "$work/flicker" 60 640x360 0
crops "$work/photo.jpg" "$work/steady" 60 640x360 4 < /dev/null
crops "$work/photo.jpg" "$work/short" 3 1920x1080 40 < /dev/null

echo
echo "AVI and FLV of the 1920 x 1080 pan against its sources (aim: SSIM >= 0.97)"
sources=$(du -b "$work"/pan/*.jpg | awk '{ s += $1 } END { print s }')
printf "  %-4s %8s %12s\n" type SSIM bytes
for type in mp4 avi flv; do
  encode 25 1 0 "$work/pan" "$work/pan.$type"
  printf "  %-4s %8s %12s\n" "$type" "$(ssim "$work/pan.$type" "$work/pan/seq_%04d.jpg")" "$(stat -c %s "$work/pan.$type")"
done
printf "  %-4s %8s %12s\n" JPEG "" "$sources"

echo
echo "Remove brightness flicker (aim: ticked/clear <= 0.25 on flicker, SSIM >= 0.98 on steady)"
for ticked in 0 1; do
  encode 25 1 "$ticked" "$work/flicker" "$work/flicker$ticked.mp4"
  encode 25 1 "$ticked" "$work/steady" "$work/steady$ticked.mp4"
done
# The ticked flicker sequence in 3 segments of 20, joined as the job joins them.
list="ffconcat version 1.0"
for first in 1 21 41; do
  mapfile -t args < <(build/native/bench/encoder_arguments 25 1 1 2 "$work/flicker/" seq "$work/seg$first.mp4" 60 "$first" 20)
  shipped -v error -nostdin "${args[@]}"
  list+=$'\n'"file 'seg$first.mp4'"$'\n'"duration 0.800000"
done
echo "$list" > "$work/join.txt"
shipped -v error -nostdin -y -f concat -safe 0 -i "$work/join.txt" -map 0 -c copy -movflags +faststart "$work/joined1.mp4"
clear=$(flicker "$work/flicker0.mp4")
ticked=$(flicker "$work/flicker1.mp4")
joined=$(flicker "$work/joined1.mp4")
echo "  mean |change of YAVG|: clear $clear, ticked $ticked, ratio $(awk -v a="$ticked" -v b="$clear" 'BEGIN { printf "%.3f", a / b }')"
echo "  ticked in 3 segments, joined: $joined, against one run $(awk -v a="$joined" -v b="$ticked" 'BEGIN { printf "%.3f", a / b }') (aim: 0.90 to 1.10)"
echo "  steady sequence, SSIM ticked against clear: $(ssim "$work/steady1.mp4" "$work/steady0.mp4")"

echo
echo "MP4 profile and level of each fixed size (3 frames; Windows' own decoder takes up to 5.1)"
for size in 2 3 4 5 6 7 8; do
  for rate in 25 50; do
    encode "$rate" "$size" 0 "$work/short" "$work/level.mp4"
    printf "  size %d at %d fps: %s\n" "$size" "$rate" \
      "$(ffprobe -v error -show_entries stream=width,height,profile,pix_fmt,level -of csv=p=0 "$work/level.mp4")"
  done
done
