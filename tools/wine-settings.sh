# Sourced by every script that runs Wine, the one place for its settings: a private prefix in
# the build tree (never the user's own), no debug output, no Mono or Gecko install.
# LUMVEX_DPI names the prefix of a display at another DPI (tools/wine-at-dpi.sh).
WINEPREFIX="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wineprefix${LUMVEX_DPI:+-$LUMVEX_DPI-dpi}"
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine places some of its memory at fixed addresses (the shared user data at 0x7ffe0000).
# Without its preloader, which Debian's package lacks, a randomised host layout now and then
# holds one of them and the process dies at its start ("failed to map the shared user data");
# a layout without randomisation never does. Processes Wine starts inherit the setting.
if setarch "$(uname -m)" -R true 2> /dev/null; then
  wine() { setarch "$(uname -m)" -R wine "$@"; }
  wineboot() { setarch "$(uname -m)" -R wineboot "$@"; }
  wineserver() { setarch "$(uname -m)" -R wineserver "$@"; }
  winepath() { setarch "$(uname -m)" -R winepath "$@"; }
fi
