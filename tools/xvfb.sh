# Sourced: start_xvfb starts a headless X server on a display number the server picks for
# itself (so several started at once never race for one), exports DISPLAY once it accepts
# connections and leaves its process id in XVFB_PID. Says why and returns non-zero otherwise.
start_xvfb() {
  local log fd display=""
  log=$(mktemp)
  exec {fd}< <(exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2> "$log")
  XVFB_PID=$!
  read -r -t 30 display <&"$fd"
  exec {fd}<&-
  if [ -z "$display" ]; then
    echo "Xvfb did not start:" >&2
    cat "$log" >&2
    rm -f "$log"
    kill "$XVFB_PID" 2> /dev/null
    return 1
  fi
  rm -f "$log"
  export DISPLAY=":$display"
}
