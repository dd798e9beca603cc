#!/bin/bash
# Installs what the build and the tests need and is missing; safe to run again.
set -euo pipefail
packages=(cmake ninja-build g++ python3 googletest mingw-w64 g++-mingw-w64-x86-64-posix
          gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb xauth x11-utils
          ffmpeg imagemagick libimage-exiftool-perl clang libclang-rt-14-dev fonts-liberation)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
