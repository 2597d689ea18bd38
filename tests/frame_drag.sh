#!/usr/bin/env bash
# The skinned installer under real mouse input (xdotool on the test display): dragging from a free
# point of the caption moves the window; hovering the close button turns it red; releasing the
# mouse over it ends the program with exit code 0.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/env.sh"
installer=$1
fail() { echo "FAIL: $*"; kill "$app" 2>/dev/null; exit 1; }

"$QL_WINE" "$installer" >/dev/null 2>&1 &
app=$!
wid=$(timeout 30 xdotool search --sync --onlyvisible --name '青岚笺语写作1.3' | head -n1)
[ -n "$wid" ] || fail "the installer window did not appear"
geometry() { xdotool getwindowgeometry --shell "$wid" | grep -E '^(X|Y)='; }
eval "$(geometry)"
x0=$X y0=$Y
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | tail -n1 | grep -oE '#[0-9A-F]{6}'; }

# A first click may only activate the window; then drag by 100, 50 from a free caption point.
xdotool mousemove $((x0 + 450)) $((y0 + 15)) click 1
sleep 0.3
xdotool mousemove $((x0 + 450)) $((y0 + 15)) mousedown 1 sleep 0.2 \
  mousemove $((x0 + 500)) $((y0 + 40)) sleep 0.2 mousemove $((x0 + 550)) $((y0 + 65)) sleep 0.3 mouseup 1
sleep 0.5
eval "$(geometry)"
[ $((X - x0)) -ge 95 ] && [ $((X - x0)) -le 105 ] && [ $((Y - y0)) -ge 45 ] && [ $((Y - y0)) -le 55 ] ||
  fail "dragging moved the window from $x0,$y0 to $X,$Y (want +100,+50)"
echo "dragged from $x0,$y0 to $X,$Y"

normal=$(pixel $((X + 867)) $((Y + 4)))
xdotool mousemove $((X + 883)) $((Y + 10))
sleep 0.5
lit=$(pixel $((X + 867)) $((Y + 4)))
r=$((16#${lit:1:2})) g=$((16#${lit:3:2}))
[ $((r - g)) -gt 60 ] || fail "the close button is not red under the mouse: $normal -> $lit"
echo "close button $normal -> $lit under the mouse"

xdotool click 1
for _ in $(seq 1 50); do
  kill -0 "$app" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app" 2>/dev/null && fail "the program did not end after a click on the close button"
wait "$app"
rc=$?
[ "$rc" -eq 0 ] || fail "exit code $rc"
echo "closed with exit code 0"
