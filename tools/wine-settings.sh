# Sourced by every script that runs Wine, the one place for its settings: a private prefix in
# the build tree (never the user's own), no debug output, no Mono or Gecko install.
# LUMVEX_DPI names the prefix of a display at another DPI (tools/wine-at-dpi.sh).
WINEPREFIX="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wineprefix${LUMVEX_DPI:+-$LUMVEX_DPI-dpi}"
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
