#!/bin/bash
# Installs what the build and the tests need and is missing; safe to run again.
set -euo pipefail
packages=(cmake ninja-build g++ python3 googletest mingw-w64 g++-mingw-w64-x86-64-posix
          gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb xauth x11-utils
          ffmpeg imagemagick libimage-exiftool-perl clang libclang-rt-14-dev fonts-liberation
          msitools wixl zip nasm dpkg-dev xz-utils tesseract-ocr)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
command -v npm > /dev/null || missing+=(npm)
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The genuine Windows encoder a user brings, at the oldest version the program promises:
# a 64-bit ffmpeg 4.1 build with libx264, fetched once and checked against its known digest.
encoder_version=4.1.0
encoder_sha256=2aa313be3585994d710197bc4196f5fcbb6a1469be1013b24d200e45d773592f
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache="${XDG_CACHE_HOME:-$HOME/.cache}/lumvex"
tarball="$cache/ffmpeg-installer-win32-x64-$encoder_version.tgz"
if ! echo "$encoder_sha256  $tarball" | sha256sum -c --status 2> /dev/null; then
  mkdir -p "$cache"
  (cd "$cache" && npm pack --silent "@ffmpeg-installer/win32-x64@$encoder_version" > /dev/null)
  if ! echo "$encoder_sha256  $tarball" | sha256sum -c --status; then
    echo "The encoder package $tarball does not have its known SHA-256." >&2
    rm -f "$tarball"
    exit 1
  fi
fi
encoder="$root/build/encoder/genuine-4.1/ffmpeg.exe"
if [ ! -f "$encoder" ] || [ "$tarball" -nt "$encoder" ]; then
  mkdir -p "$(dirname "$encoder")"
  tar -xzf "$tarball" -O package/ffmpeg.exe > "$encoder.part" && mv "$encoder.part" "$encoder"
fi
