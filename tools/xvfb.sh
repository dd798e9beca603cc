# Sourced: start_xvfb starts a headless X server on the first free display, exports DISPLAY
# and waits until it answers; its process id is left in XVFB_PID.
start_xvfb() {
  local display=99
  while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$display"
  for _ in $(seq 50); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done
}
