#!/bin/bash
# Builds the encoder shipped beside the program: a static, stripped ffmpeg.exe with libx264,
# cross-compiled from Debian's source packages pinned in SHA256SUMS, with only the components
# the program's command lines use. Usage: build.sh DESTINATION_FOLDER
# Writes ffmpeg.exe and licenses/ there. The result is cached by the sources' hashes and the
# configuration; a second run builds nothing. Also the script a user gets with the sources.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
destination=${1:?"usage: $0 DESTINATION_FOLDER"}
ffmpeg_version=7:7.1.5-0+deb13u1
x264_version=2:0.164.3095+gitbaee400-3
cache="${XDG_CACHE_HOME:-$HOME/.cache}/lumvex"
sources="${LUMVEX_ENCODER_SOURCES:-$cache/encoder-sources}"

# Only the components the program's videos need: numbered JPEGs in, H.264 in MP4, MPEG-4 in
# AVI and Sorenson in FLV out, the framing and deflicker filters, and for the join, segments of
# each container read back from a list on the standard input, with the filter that turns an
# MP4 segment into a stream the join can copy; and numbered BMPs out, framed frames the
# program reads back to stamp.
components=(
  --enable-protocol=file,pipe
  --enable-demuxer=image2,concat,mov,avi,flv
  --enable-decoder=mjpeg,h264,mpeg4,flv
  --enable-encoder=libx264,mpeg4,flv,bmp
  --enable-muxer=mp4,mov,avi,flv,image2
  --enable-parser=h264,mjpeg,mpeg4video
  --enable-bsf=h264_mp4toannexb,extract_extradata
  --enable-filter=scale,pad,crop,setsar,deflicker,format,null,fps,copy,trim,split,tmix
)
configuration=(
  --arch=x86_64 --target-os=mingw32 --cross-prefix=x86_64-w64-mingw32- --pkg-config=pkg-config
  --pkg-config-flags=--static --extra-ldflags=-static
  # Without w32threads, --disable-autodetect turns threading off.
  --enable-gpl --enable-libx264 --disable-everything --disable-autodetect --enable-w32threads
  --disable-programs --enable-ffmpeg --disable-avdevice --disable-swresample --disable-postproc
  --disable-network --disable-doc --disable-debug "${components[@]}"
)
x264_configuration=(--host=x86_64-w64-mingw32 --cross-prefix=x86_64-w64-mingw32- --enable-static --disable-cli
                    --disable-opencl --bit-depth=8)
key=$( (printf '%s\n' "${configuration[@]}" "${x264_configuration[@]}"; cat "$here/SHA256SUMS") | sha256sum | cut -c1-16)
result="$cache/encoder/$key"
step="starting"
trap 'echo "The encoder build failed: $step." >&2' ERR

# Each pinned package's files, from the private list, checked against their SHA-256.
fetch() {
  local package=$1 version=$2
  local apt=(-o "Dir::Etc::SourceList=$here/sources.list" -o "Dir::Etc::SourceParts=$sources/parts"
             -o "Dir::State::Lists=$sources/lists" -o "Dir::Cache=$sources/apt-cache" -o APT::Sandbox::User=root)
  if grep " ${package}_" "$here/SHA256SUMS" | (cd "$sources" && sha256sum -c --status 2> /dev/null); then
    return
  fi
  step="reaching Debian's archive for $package"
  mkdir -p "$sources/parts" "$sources/lists/partial" "$sources/apt-cache/archives/partial"
  apt-get "${apt[@]}" -qq update
  step="fetching $package $version"
  if ! (cd "$sources" && apt-get "${apt[@]}" -qq source --download-only "$package=$version" > /dev/null); then
    trap - ERR
    echo "The encoder build stopped: Debian's archive no longer serves $package $version." >&2
    echo "It offers: $(apt-cache "${apt[@]}" showsrc "$package" | sed -n 's/^Version: //p' | paste -sd ' ')" >&2
    echo "Pin one of those in tools/encoder/build.sh and tools/encoder/SHA256SUMS." >&2
    exit 1
  fi
  step="checking the SHA-256 of $package $version"
  if ! grep " ${package}_" "$here/SHA256SUMS" | (cd "$sources" && sha256sum -c --quiet); then
    grep " ${package}_" "$here/SHA256SUMS" | awk '{ print $2 }' | (cd "$sources" && xargs rm -f)
    false
  fi
}

# Unpacked with Debian's patches applied.
unpack() {
  local package=$1 version=$2
  step="unpacking $package $version"
  dpkg-source --no-check -x "$sources/${package}_${version#*:}.dsc" "$work/$package" > /dev/null
}

build_x264() {
  step="building x264"
  (cd "$work/x264" &&
   ./configure "${x264_configuration[@]}" --prefix="$work/prefix" > "$work/x264.log" &&
   make -j"$(nproc)" >> "$work/x264.log" 2>&1 && make install >> "$work/x264.log" 2>&1) ||
    { tail -20 "$work/x264.log" >&2; false; }
}

build_ffmpeg() {
  step="building ffmpeg"
  # PKG_CONFIG_LIBDIR, not _PATH: no host library may leak in.
  (cd "$work/ffmpeg" &&
   PKG_CONFIG_LIBDIR="$work/prefix/lib/pkgconfig" ./configure "${configuration[@]}" > "$work/ffmpeg.log" &&
   make -j"$(nproc)" >> "$work/ffmpeg.log" 2>&1) ||
    { tail -20 "$work/ffmpeg.log" >&2; false; }
}

# What the licences ask a binary distribution to carry, in one folder, each named by its owner.
gather_licences() {
  local licences="$staged/licenses"
  mkdir -p "$licences"
  for file in COPYING.GPLv2 COPYING.LGPLv2.1 LICENSE.md; do cp "$work/ffmpeg/$file" "$licences/ffmpeg-$file.txt"; done
  for file in COPYING AUTHORS; do cp "$work/x264/$file" "$licences/x264-$file.txt"; done
  cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$licences/mingw-w64-runtime.txt"
}

if [ ! -f "$result/ffmpeg.exe" ]; then
  mkdir -p "$sources" "$cache/encoder"
  fetch ffmpeg "$ffmpeg_version"
  fetch x264 "$x264_version"
  # Built aside and moved in whole: an interrupted build leaves nothing a later run trusts.
  work=$(mktemp -d "$cache/encoder/build.XXXXXX")
  staged="$work/result"
  trap 'echo "The encoder build failed: $step." >&2; rm -rf "$work"' ERR
  unpack ffmpeg "$ffmpeg_version"
  unpack x264 "$x264_version"
  build_x264
  build_ffmpeg
  step="gathering the licences"
  mkdir -p "$staged"
  x86_64-w64-mingw32-strip -o "$staged/ffmpeg.exe" "$work/ffmpeg/ffmpeg.exe"
  gather_licences
  rm -rf "$result"
  mv "$staged" "$result"
  rm -rf "$work"
  echo "Built the encoder: $result/ffmpeg.exe"
fi
step="placing the encoder in $destination"
mkdir -p "$destination"
cp -r "$result/." "$destination/"
