#!/bin/bash
# The three qualities measured on camera-sized photos, run on demand:  bash bench/run-quality.sh
# Twenty 4000 x 3000 photographic frames (a pan over a noisy plasma picture, ImageMagick) made
# into a 1080P video, fitted with bars, by each container at each quality, with the shipped
# encoder and the genuine 4.1 beside it, under Wine, with exactly the arguments the job gives
# (built from the product's own command-line code). Prints each video's size and its mean SSIM
# against the photos brought to the same framing (the host's ffmpeg measures), and for MP4 the
# profile, sampling and level that Windows' own player needs (High, yuv420p, at most 5.1).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/encoder-arguments-setup.sh"

echo "Making twenty 4000 x 3000 photos (ImageMagick) ..."
# One step at a time, and one frame at a time: ImageMagick's policy caps the pixel cache.
convert -size 4380x3000 -seed 7 plasma:fractal -quality 95 "$work/plasma.jpg"
convert "$work/plasma.jpg" -attenuate 0.4 +noise Gaussian -quality 95 "$work/photo.jpg"
for i in $(seq 1 20); do
  convert "$work/photo.jpg" -crop "4000x3000+$(((i - 1) * 20))+0" +repage -quality 92 "$(printf "%s/seq_%04d.jpg" "$work" "$i")"
done
photos=$(du -cb "$work"/seq_*.jpg | tail -1 | cut -f1)

# ssim VIDEO: mean SSIM over all frames against the photos, fitted into 1920 x 1080 as the job does.
ssim() {
  ffmpeg -nostdin -i "$1" -i "$work/seq_%04d.jpg" -lavfi "[1:v]scale=1440:1080,pad=1920:1080:240:0[r];[0:v][r]ssim" \
    -f null - 2>&1 | sed -n 's/.* All:\([0-9.]*\).*/\1/p'
}

echo
echo "1080P from 20 photos of 4000 x 3000 ($photos bytes as JPEG), 25 fps"
printf "  %-12s %-4s %-8s %10s %8s  %s\n" encoder type quality bytes SSIM "profile, sampling, level"
names=("" "smaller" "standard" "best")
for encoder in shipped genuine-4.1; do
  exe=build/windows/bin/ffmpeg.exe
  [ "$encoder" = shipped ] || exe="build/windows/bin/$encoder/ffmpeg.exe"
  for type in mp4 avi flv; do
    for quality in 1 2 3; do
      video="$work/q$quality.$type"
      mapfile -t args < <(build/native/bench/encoder_arguments 25 7 0 "$quality" "$work/" seq "$video")
      wine "$exe" -v error -nostdin "${args[@]}"
      stream=""
      [ "$type" = mp4 ] && stream=$(ffprobe -v error -show_entries stream=profile,pix_fmt,level -of csv=p=0 "$video")
      printf "  %-12s %-4s %-8s %10s %8s  %s\n" "$encoder" "$type" "${names[$quality]}" "$(stat -c %s "$video")" \
        "$(ssim "$video")" "$stream"
    done
  done
done
