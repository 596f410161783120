# Sourced: starts a private Xvfb display, exports DISPLAY, and stops it on exit.
start_virtual_display() {
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    QUORVANE_XVFB_PID=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    if kill -0 "$QUORVANE_XVFB_PID" 2>/dev/null; then
      export DISPLAY=":$n"
      trap 'kill "$QUORVANE_XVFB_PID" 2>/dev/null || true' EXIT
      return 0
    fi
  done
  echo "could not start a virtual display" >&2
  return 1
}
