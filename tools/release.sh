#!/bin/bash
# The release command: builds the program anew and packs it for Windows users into dist/: a
# zip to unpack anywhere and a per-user installer, each with the encoder built from source
# beside the program and its licences; and the encoder's complete corresponding source.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/install-deps.sh

# A tree of its own, made from nothing, so no file of an earlier build reaches a user.
build=build/release
rm -rf "$build" dist
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" > /dev/null
cmake --build "$build" --target LumvexTimeLapseVideo

# The version and maker the version resource is compiled from.
from_version_h() { printf '#include "version.h"\n%s\n' "$1" | x86_64-w64-mingw32-cpp -P -I res | sed -n 's/^ *"\(.*\)"$/\1/p'; }
version=$(from_version_h LUMVEX_VERSION_TEXT)
maker=$(from_version_h LUMVEX_MAKER)
name=LumvexTimeLapseVideo-$version-win64

stage=$build/stage/$name
mkdir -p "$stage" dist
x86_64-w64-mingw32-strip -o "$stage/LumvexTimeLapseVideo.exe" "$build/bin/LumvexTimeLapseVideo.exe"
# The encoder the build placed beside the program, and what its licences ask to be carried.
bash tools/encoder/build.sh "$stage"
# Notepad before Windows 10 1809 shows no line ends but CRLF.
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' tools/release/README.txt > "$stage/README.txt"
(cd "$build/stage" && zip -q -X -r "$root/dist/$name.zip" "$name")
wixl -a x64 -D Version="$version" -D Maker="$maker" -D Stage="$stage" -D IconFile="$build/res/assets/app.ico" \
     -o "dist/$name.msi" tools/release/LumvexTimeLapseVideo.wxs

# The encoder's complete corresponding source: the pinned source packages as Debian serves
# them, and the script that built the shipped ffmpeg.exe from them.
source_name=$name-encoder-source
source_stage=$build/stage/$source_name
mkdir -p "$source_stage"
cp tools/encoder/build.sh tools/encoder/SHA256SUMS tools/encoder/sources.list "$source_stage/"
awk '{ print $2 }' tools/encoder/SHA256SUMS |
  (cd "${XDG_CACHE_HOME:-$HOME/.cache}/lumvex/encoder-sources" && xargs cp -t "$root/$source_stage/")
sed -e 's/$/\r/' tools/release/ENCODER-SOURCE.txt > "$source_stage/README.txt"
tar -C "$build/stage" -cJf "dist/$source_name.tar.xz" "$source_name"
ls -l dist
