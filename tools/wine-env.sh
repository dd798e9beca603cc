# Sourced: the private Wine prefix, created on first use, and a wineserver kept alive.
source "$(dirname "${BASH_SOURCE[0]}")/wine-settings.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix in $WINEPREFIX"
  wineboot -i > /dev/null 2>&1
  wineserver -w
fi
# No window manager answers under Xvfb, and Wine waits 2 s for one whenever it maps a managed
# window; the test programs and the tests' copy of the program (LumvexTest.exe, never the
# program a user runs) leave their windows unmanaged.
if ! grep -qF 'AppDefaults\\LumvexTest.exe\\X11 Driver' "$WINEPREFIX/user.reg" 2> /dev/null; then
  for exe in ui_tests.exe win_tests.exe LumvexTest.exe; do
    wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe\\X11 Driver" /v Managed /d N /f > /dev/null 2>&1
  done
fi
# A program that crashes (an encoder among them) ends at once, instead of waiting on Wine's
# crash dialog, which nobody answers under Xvfb.
if ! grep -qF '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2> /dev/null; then
  wine reg add "HKCU\\Software\\Wine\\WineDbg" /v ShowCrashDialog /t REG_DWORD /d 0 /f > /dev/null 2>&1
fi
wineserver -p > /dev/null 2>&1 || true
# Start Wine's own services now, so they never hold a test's output pipe open.
wineboot > /dev/null 2>&1
