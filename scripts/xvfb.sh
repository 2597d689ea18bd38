# Sourced: makes sure a display exists. Keeps $DISPLAY when it works, else starts a private Xvfb
# (stopped by ql_stop_display) and exports its DISPLAY.
ql_xvfb_pid=
ql_start_private_display() {
  local n
  for n in $(seq 90 130); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    ql_xvfb_pid=$!
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$ql_xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "cannot start Xvfb" >&2
  return 1
}
ql_ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  ql_start_private_display
}
ql_stop_display() {
  [ -n "$ql_xvfb_pid" ] && kill "$ql_xvfb_pid" 2>/dev/null
  ql_xvfb_pid=
}
