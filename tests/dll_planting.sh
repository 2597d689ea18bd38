#!/usr/bin/env bash
# dll_planting.sh DECOY.dll INSTALLER.exe
# Copies the installer into a fresh folder beside decoy DLLs named after the libraries it uses
# (each decoy leaves NAME.loaded when it is loaded), starts it, waits for its window, ends it and
# fails when any decoy was loaded.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/env.sh"
decoy=$1
dir=$(mktemp -d /tmp/ql-planting.XXXXXX)
trap 'rm -rf "$dir"' EXIT
names=(gdiplus comctl32 shell32 shlwapi ole32 oleaut32 msimg32 advapi32 uxtheme version
       dwmapi imm32 winmm propsys)
for n in "${names[@]}"; do cp "$decoy" "$dir/$n.dll"; done
cp "$2" "$dir/setup.exe"
command -v xdotool >/dev/null || { echo "dll_planting: no xdotool: skipped"; exit 77; }
(cd "$dir" && exec "$QL_WINE" ./setup.exe >/dev/null 2>&1 </dev/null) &
pid=$!
# Wine names the X window's class after the executable.
if ! timeout 30 xdotool search --sync --onlyvisible --classname setup.exe >/dev/null; then
  echo "dll_planting: no installer window within 30 s"
  kill "$pid" 2>/dev/null
  ls "$dir"
  exit 1
fi
kill "$pid"
wait "$pid" 2>/dev/null
loaded=$(cd "$dir" && ls -- *.loaded 2>/dev/null)
if [ -n "$loaded" ]; then
  echo "dll_planting: decoys loaded from the installer's folder:" $loaded
  exit 1
fi
echo "dll_planting: none of ${#names[@]} decoys was loaded"
