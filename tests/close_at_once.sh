#!/usr/bin/env bash
# Closing never waits for a window manager. The installer runs as a copy whose windows Wine hands
# to the window manager (per-program "Managed" setting), on a display without one: any hide of a
# managed window then waits until Wine gives up and reports "wait timed out". A click on
# "取消安装" and a click on the close button (after its tooltip has appeared) must end the
# program with exit code 0 without such a wait.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/env.sh"
installer=$1
work=$(mktemp -d /tmp/ql-close.XXXXXX)
app=
fail() {
  echo "FAIL: $*"
  [ -n "$app" ] && kill "$app" 2>/dev/null
  rm -rf "$work"
  exit 1
}
copy=ql-managed-close.exe
cp "$installer" "$work/$copy"
"$QL_WINE" reg add "HKCU\\Software\\Wine\\AppDefaults\\$copy\\X11 Driver" /v Managed /t REG_SZ \
  /d Y /f >/dev/null 2>&1 || fail "could not set the per-program window-manager setting"

# name, client x and y of the point clicked
cases=("取消安装 60 604" "the close button 883 10")
for entry in "${cases[@]}"; do
  read -r -a f <<<"$entry"
  n=${#f[@]}
  name=${f[*]:0:n-2} x=${f[n-2]} y=${f[n-1]}
  WINEDEBUG=fixme+event "$QL_WINE" "$work/$copy" >"$work/out.txt" 2>&1 &
  app=$!
  wid=$(timeout 30 xdotool search --sync --onlyvisible --name '青岚笺语写作1.3' | head -n1)
  [ -n "$wid" ] || fail "$name: the installer window did not appear"
  eval "$(xdotool getwindowgeometry --shell "$wid" | grep -E '^(X|Y)=')"
  # A first click on a free caption point activates the window; then a hover long enough for
  # the close button's tooltip.
  xdotool mousemove $((X + 450)) $((Y + 15)) click 1
  sleep 0.5
  xdotool mousemove $((X + x)) $((Y + y))
  sleep 1.2
  xdotool click 1
  for _ in $(seq 1 100); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$app" 2>/dev/null && fail "$name: the program did not end"
  wait "$app"
  rc=$?
  app=
  [ "$rc" -eq 0 ] || fail "$name: exit code $rc"
  if grep -q "wait_for_withdrawn_state" "$work/out.txt"; then
    grep "wait_for_withdrawn_state" "$work/out.txt"
    fail "$name: closing waited for the window manager"
  fi
  echo "$name: closed without waiting for the window manager"
done
"$QL_WINE" reg delete "HKCU\\Software\\Wine\\AppDefaults\\$copy" /f >/dev/null 2>&1
rm -rf "$work"
