#!/bin/bash
# Runs a Windows program under Wine with the display at another DPI: wine-at-dpi.sh DPI PROGRAM
# [ARGUMENTS...]. The DPI is a setting of the whole prefix, so each DPI has a prefix of its own
# that no other test shares.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-settings.sh"
main=$WINEPREFIX
export LUMVEX_DPI=$1
shift
source "$here/wine-settings.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  # A copy of the tests' own prefix is ready at once where a new one takes a minute.
  if [ -f "$main/system.reg" ]; then
    rm -rf "$WINEPREFIX"
    cp -a "$main" "$WINEPREFIX"
  else
    wineboot -i > /dev/null 2>&1
  fi
  wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d "$LUMVEX_DPI" /f > /dev/null 2>&1
  # As in the main prefix: no window manager answers under Xvfb.
  wine reg add "HKCU\\Software\\Wine\\AppDefaults\\ui_tests.exe\\X11 Driver" /v Managed /d N /f > /dev/null 2>&1
  wineserver -w
fi
exec "$here/wine-run.sh" "$@"
