#!/usr/bin/env bash
# The installer under real key input (xdotool on the test display, after a real click has
# activated the window): Tab moves the focus glow to a push button, and Enter or Space presses
# whichever push button has it. Enter or Space on "取消安装" ends the program with exit code 0;
# Enter on "下一步》" moves to the licence page. And with keys alone, no Tab: each page puts the
# focus on its main button (or the licence box), so Enter, Enter, Space, Enter, Enter walks to the
# confirmation page, whose "确认安装" glows, and Shift+Tab moves the glow on at once.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/env.sh"
installer=$1
app=
fail() {
  echo "FAIL: $*"
  [ -n "$app" ] && kill "$app" 2>/dev/null
  exit 1
}

# One screen pixel as RRGGBB.
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | tail -n1 | grep -oE '#[0-9A-F]{6}' | cut -c2-; }
# The focus glow is a blue-green ring over the button's grey edge: blue well above red.
glowing() {
  local p
  p=$(pixel "$1" "$2")
  [ -n "$p" ] && [ $((16#${p:4:2} - 16#${p:0:2})) -gt 60 ]
}
# Pixels of the welcome heading's cyan text in the band where the page headings lie.
cyan_pixels() {
  import -window root -crop "600x40+$((X + 40))+$((Y + 40))" -depth 8 txt:- |
    grep -cE '#[0-4][0-9A-F][C-F][0-9A-F][C-F][0-9A-F]'
}

start() {
  "$QL_WINE" "$installer" >/dev/null 2>&1 &
  app=$!
  wid=$(timeout 30 xdotool search --sync --onlyvisible --name '青岚笺语写作1.3' | head -n1)
  [ -n "$wid" ] || fail "the installer window did not appear"
  eval "$(xdotool getwindowgeometry --shell "$wid" | grep -E '^(X|Y)=')"
  # A click on a free point of the caption activates the window; the pointer stays there, away
  # from every button.
  xdotool mousemove $((X + 450)) $((Y + 15)) click 1
  sleep 0.5
}

# Tab until the button whose top edge passes through client (x, y) shows the focus glow.
tab_to() {
  local name=$1 x=$2 y=$3 i
  for i in $(seq 1 8); do
    xdotool key Tab
    sleep 0.3
    glowing $((X + x)) $((Y + y)) && return 0
  done
  fail "$name: no focus glow after eight Tabs"
}

ends_with_zero() {
  local name=$1 rc
  for _ in $(seq 1 50); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$app" 2>/dev/null && fail "$name: the program is still running"
  wait "$app"
  rc=$?
  app=
  [ "$rc" -eq 0 ] || fail "$name: exit code $rc"
}

shows_the_licence_page() {
  local name=$1 n
  for _ in $(seq 1 25); do
    n=$(cyan_pixels)
    [ "$n" -lt 20 ] && break
    sleep 0.2
  done
  [ "$n" -lt 20 ] || fail "$name: still on the welcome page ($n heading pixels in its colour)"
  kill -0 "$app" 2>/dev/null || fail "$name: the program ended"
  kill "$app"
  wait "$app" 2>/dev/null
  app=
}

# Waits until the button whose top edge passes through client (x, y) shows the focus glow.
glows_soon() {
  local name=$1 x=$2 y=$3
  for _ in $(seq 1 25); do
    glowing $((X + x)) $((Y + y)) && return 0
    sleep 0.2
  done
  fail "$name: no focus glow"
}

# name, key, button's top edge in client coordinates, what must follow
cases=(
  "Enter on 取消安装|Return|60 592|ends_with_zero"
  "Space on 取消安装|space|60 592|ends_with_zero"
  "Enter on 下一步》|Return|644 592|shows_the_licence_page"
)
for c in "${cases[@]}"; do
  IFS='|' read -r name key edge check <<<"$c"
  start
  [ "$check" = shows_the_licence_page ] && [ "$(cyan_pixels)" -lt 20 ] &&
    fail "$name: the welcome heading is not where this test looks for it"
  tab_to "$name" $edge
  xdotool key "$key"
  "$check" "$name"
  echo "ok: $name"
done

# Keys alone, as a keyboard user walks a wizard.
name="Enter, Enter, Space, Enter, Enter to 确认安装"
start
glows_soon "$name: 下一步》 on the welcome page" 644 592
xdotool key Return
sleep 0.5
xdotool key space  # the licence box has the focus: agreed
sleep 0.3
xdotool key Return # 下一步》, now enabled
glows_soon "$name: 下一步》 on the directory page" 724 584
xdotool key Return
glows_soon "$name: 确认安装 on the confirmation page" 664 568
xdotool key shift+Tab
glows_soon "$name: 《上一步 after Shift+Tab" 188 584
glowing $((X + 664)) $((Y + 568)) && fail "$name: 确认安装 still glows after Shift+Tab"
kill "$app"
wait "$app" 2>/dev/null
app=
echo "ok: $name"
