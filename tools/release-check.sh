#!/bin/bash
# Tries the release in dist/ as a Windows user gets it, in a fresh Wine prefix of its own
# (RELEASE_PREFIX, default /tmp/wine-release): an older package, then this one, installed per
# user; the program road test driving the installed program where it stands, with the encoder
# it carries; the Start-menu
# shortcut and the installed-apps entry; uninstall; and the road again from the zip unpacked
# into a folder named in other scripts. It takes minutes, so the test command leaves it out.
# Needs tools/build.sh and tools/release.sh run.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source tools/wine-settings.sh
export WINEPREFIX=${RELEASE_PREFIX:-/tmp/wine-release}
# No menu entries on the host for the shortcut the installer makes.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe="
bin=build/windows/bin
msi=$(ls dist/*.msi)
zip=$(ls dist/*.zip)
failures=0
check() {
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
win() { wine "$@" 2> /dev/null | tr -d '\r'; }
# The road with the encoder the release carries beside the program, the first of the tests'.
road() { LUMVEX_PROGRAM="$1" wine "$bin/ui_tests.exe" --gtest_filter='*ProgramRoad.*/0' > "$2" 2>&1; }

source tools/xvfb.sh
start_xvfb || exit 1
trap 'wineserver -k 2> /dev/null; kill "$XVFB_PID" 2> /dev/null' EXIT
rm -rf "$WINEPREFIX"
wineboot -i > /dev/null 2>&1
for exe in ui_tests.exe LumvexTimeLapseVideo.exe; do
  wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe\\X11 Driver" /v Managed /d N /f > /dev/null 2>&1
done

# Packed as installing without administrator rights: word count bit 3 set, ALLUSERS unset.
check "the package asks for no elevation" sh -c "msiinfo suminfo '$msi' | grep -qE '^Source: (8|10) '"
check "the package names no ALLUSERS" sh -c "! msiinfo export '$msi' Property | grep -q ALLUSERS"

local_app=$(win cmd /c echo %LOCALAPPDATA%)
programs=$(win cmd /c echo %APPDATA%)'\Microsoft\Windows\Start Menu\Programs'
folder="$local_app\\Programs\\Lumvex Time Lapse Video Tools"
program="$folder\\LumvexTimeLapseVideo.exe"
unix_folder=$(winepath -u "$folder" 2> /dev/null)
shortcut=$(winepath -u "$programs\\Lumvex Time Lapse Video Tools.lnk" 2> /dev/null)
entries() { win uninstaller --list | grep -c 'Lumvex Time Lapse Video Tools'; }
# Wine keeps even a per-user product's entry under HKLM; Windows, in the user's own part.
entry_value() {
  local product key
  product=$(win uninstaller --list | sed -n 's/|||Lumvex Time Lapse Video Tools$//p')
  for key in HKCU HKLM; do
    win reg query "$key"'\Software\Microsoft\Windows\CurrentVersion\Uninstall\'"$product" /v "$1"
  done | awk -v name="$1" '$1 == name { print $3 }'
}

# An older version first, made from the same package source.
older=$(mktemp -d)
stage=$(ls -d build/release/stage/*-win64/)
wixl -a x64 -D Version=0.9.0.0 -D Maker=Lumvex -D Stage="$stage" -D IconFile=build/release/res/assets/app.ico \
     -o "$older/older.msi" tools/release/LumvexTimeLapseVideo.wxs
check "the older version installs" wine msiexec /i "$older/older.msi" /qn
check "this version installs over it" wine msiexec /i "$msi" /qn
check "one installed-apps entry" test "$(entries)" = 1
version=$(basename "$msi" | sed 's/LumvexTimeLapseVideo-\(.*\)-win64.msi/\1/')
check "the entry's version is $version" test "$(entry_value DisplayVersion)" = "$version"
check "the entry's maker is Lumvex" test "$(entry_value Publisher)" = Lumvex
wine msiexec /i "$older/older.msi" /qn
check "the older version does not replace a newer one" test "$(entries)" = 1 -a "$(entry_value DisplayVersion)" = "$version"
rm -rf "$older"
check "program and README installed" test -f "$unix_folder/LumvexTimeLapseVideo.exe" -a -f "$unix_folder/README.txt"
shipped=build/encoder/shipped
check "the shipped encoder installed beside it" cmp -s "$shipped/ffmpeg.exe" "$unix_folder/ffmpeg.exe"
check "its licences installed" diff -r "$shipped/licenses" "$unix_folder/licenses"
check "Start-menu shortcut made" test -f "$shortcut"

check "the road through the installed program" road "$program" /tmp/release-road-installed.log
check "its settings file beside it" test -f "$unix_folder/lumvextimelapsevideo.ini"

check "uninstall succeeds" wine msiexec /x "$msi" /qn
check "the program, encoder and licences are gone" test ! -e "$unix_folder/LumvexTimeLapseVideo.exe" \
      -a ! -e "$unix_folder/README.txt" -a ! -e "$unix_folder/ffmpeg.exe" -a ! -e "$unix_folder/licenses"
check "the shortcut is gone" test ! -e "$shortcut"
check "the installed-apps entry is gone" test "$(entries)" = 0
check "the settings file stays" test -f "$unix_folder/lumvextimelapsevideo.ini"

unpacked="/tmp/release check/Лумвекс 時間 ταινία"
rm -rf "/tmp/release check"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
exe=$(ls "$unpacked"/*/LumvexTimeLapseVideo.exe)
check "the zip carries the shipped encoder and its licences" \
      sh -c "cmp -s '$shipped/ffmpeg.exe' '$(dirname "$exe")/ffmpeg.exe' && diff -r '$shipped/licenses' '$(dirname "$exe")/licenses'"
check "the road through the unzipped program" road "$(winepath -w "$exe" 2> /dev/null)" /tmp/release-road-zip.log
check "its settings file beside it" test -f "$(dirname "$exe")/lumvextimelapsevideo.ini"
rm -rf "/tmp/release check"

echo "$failures failed (road logs: /tmp/release-road-*.log)"
[ "$failures" -eq 0 ]
