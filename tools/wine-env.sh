# Sourced: the private Wine prefix, created on first use, and a wineserver kept alive.
export WINEPREFIX="$root/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix in $WINEPREFIX"
  wineboot -i > /dev/null 2>&1
  wineserver -w
fi
wineserver -p
