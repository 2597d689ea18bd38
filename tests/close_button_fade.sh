#!/usr/bin/env bash
# The close button under real mouse input (xdotool on the test display), watched from outside with
# red_watch: after a short hover and after a hover long enough for its tooltip, moving the pointer
# elsewhere in the window (the caption band, a page control) or out of it dims the button again.
# Run twice: as the prefix has it, and as a copy whose windows Wine hands to a window manager (the
# per-program "Managed" setting), as a desktop Wine does. This display has none, so there any hide
# of a managed window (a tooltip made as an overlapped window, say) blocks the program until Wine
# gives up waiting, and the fade stops meanwhile.
#   close_button_fade.sh INSTALLER RED_WATCH
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/env.sh"
installer=$1
watch=$2
work=$(mktemp -d /tmp/ql-fade.XXXXXX)
managed=ql-managed-fade.exe
app=
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  "$QL_WINE" reg delete "HKCU\\Software\\Wine\\AppDefaults\\$managed" /f >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

cp "$installer" "$work/$managed"
"$QL_WINE" reg add "HKCU\\Software\\Wine\\AppDefaults\\$managed\\X11 Driver" /v Managed /t REG_SZ \
  /d Y /f >/dev/null 2>&1 || fail "could not set the per-program window-manager setting"

failures=0
run_cases() {
  local label=$1 exe=$2 wid X Y normal
  "$QL_WINE" "$exe" >/dev/null 2>&1 &
  app=$!
  wid=$(timeout 30 xdotool search --sync --onlyvisible --name '青岚笺语写作1.3' | head -n1)
  [ -n "$wid" ] || fail "$label: the installer window did not appear"
  eval "$(xdotool getwindowgeometry --shell "$wid" | grep -E '^(X|Y)=')"

  # The close button covers client (863, 1) .. (900, 19); watch its inside.
  local button=($((X + 864)) $((Y + 2)) 34 15)
  red() { "$watch" "${button[@]}" 0 | tail -n1 | cut -d' ' -f2; }
  at() { xdotool mousemove $((X + $1)) $((Y + $2)); }

  # A first click may only activate the window.
  at 450 330
  xdotool click 1
  sleep 0.5
  normal=$(red)
  echo "$label: close button at rest: $normal red pixels"

  # hover seconds, then where the pointer goes (client x y, or "out").
  local cases=("0.2 400 10" "1.5 400 10" "1.5 644 608" "1.5 out" "0.2 644 608") c hover tx ty lit trace
  for c in "${cases[@]}"; do
    read -r hover tx ty <<<"$c"
    at 883 10
    sleep "$hover"
    lit=$(red)
    if [ "$lit" -le $((normal + 100)) ]; then
      echo "FAIL: $label: hover $hover s: the button did not light up ($lit red pixels)"
      failures=$((failures + 1))
      continue
    fi
    if [ "$tx" = out ]; then xdotool mousemove 5 5; else at "$tx" "$ty"; fi
    if trace=$("$watch" "${button[@]}" 1000 $((normal + 2))); then
      echo "ok: $label: hover $hover s, then $tx ${ty:-}: lit $lit, dimmed after $(echo "$trace" | tail -n1 | cut -d' ' -f1) ms"
    else
      echo "FAIL: $label: hover $hover s, then $tx ${ty:-}: lit $lit, still $(echo "$trace" | tail -n1 | cut -d' ' -f2) red pixels after 1 s"
      failures=$((failures + 1))
    fi
    # Rest away from the button before the next case.
    at 450 330
    sleep 0.5
  done

  kill "$app" 2>/dev/null
  wait "$app" 2>/dev/null
  app=
}

run_cases "as configured" "$installer"
run_cases "managed windows" "$work/$managed"
[ "$failures" -eq 0 ] || { echo "FAIL: $failures case(s)"; exit 1; }
echo "the close button dimmed in every case"
