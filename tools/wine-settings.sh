# Sourced by every script that runs Wine, the one place for its settings: a private prefix in
# the build tree (never the user's own), no debug output, no Mono or Gecko install.
WINEPREFIX="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wineprefix"
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
