#!/bin/bash
# The release command: builds the program anew and packs it for Windows users into dist/: a
# zip to unpack anywhere and a per-user installer. The encoder is the user's own, not packed.
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
# Notepad before Windows 10 1809 shows no line ends but CRLF.
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' tools/release/README.txt > "$stage/README.txt"
(cd "$build/stage" && zip -q -X -r "$root/dist/$name.zip" "$name")
wixl -a x64 -D Version="$version" -D Maker="$maker" -D ProgramFile="$stage/LumvexTimeLapseVideo.exe" \
     -D ReadmeFile="$stage/README.txt" -D IconFile="$build/res/assets/app.ico" \
     -o "dist/$name.msi" tools/release/LumvexTimeLapseVideo.wxs
ls -l dist
