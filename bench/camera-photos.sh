# Sourced by the benchmarks: camera_photos COUNT makes COUNT camera JPEGs (4000 x 3000, 4:2:2,
# ImageMagick) as build/bench-camera/cam_0001.jpg ... once and keeps them, and prints the
# folder. A pan over one picture that starts again every 200 photos: each photo past the 200th
# is a hard link to the one 200 before it, the same bytes made in no time.
camera_photos() {
  local count=$1 camera=build/bench-camera pan=200
  local batch i crops
  mkdir -p "$camera"
  if [ ! -f "$camera/cam_0200.jpg" ]; then
    echo "Making $pan camera JPEGs (ImageMagick) ..." >&2
    [ -f "$camera/photo.miff" ] ||
      convert -size 4400x3000 -seed 3 plasma:fractal -blur 0x1 -attenuate 0.3 +noise Gaussian "$camera/photo.miff"
    # In batches: a 4000 x 3000 picture takes 96 MB in ImageMagick's memory.
    for ((batch = 0; batch < pan; batch += 10)); do
      [ -f "$camera/cam_$(printf %04d $((batch + 10))).jpg" ] && continue
      crops=()
      for ((i = batch; i < batch + 10; i++)); do
        crops+=( \( mpr:photo -crop "4000x3000+$((i * 2))+0" +repage \) )
      done
      convert "$camera/photo.miff" -write mpr:photo +delete "${crops[@]}" -sampling-factor 2x1 -quality 92 \
        -scene $((batch + 1)) +adjoin "$camera/cam_%04d.jpg"
    done
    rm "$camera/photo.miff"
  fi
  for ((i = pan + 1; i <= count; i++)); do
    [ -f "$camera/cam_$(printf %04d "$i").jpg" ] ||
      ln "$camera/cam_$(printf %04d $((i - pan))).jpg" "$camera/cam_$(printf %04d "$i").jpg"
  done
  echo "$camera"
}
