#!/usr/bin/env bash
# dll_planting.sh DECOY.dll INSTALLER.exe WALK-DRIVER.exe UNINSTALLER.exe PROGRAM.exe PAYLOAD-DRIVER.exe
# A downloaded installer runs from a folder full of other files. This copies the installer into a
# fresh folder beside decoy DLLs named after system libraries it or the libraries it uses load
# (each decoy leaves NAME.dll.loaded beside itself when it is loaded), walks the whole wizard with
# the installer started in that folder (folder dialog, installation, shortcut, finish) and fails
# when any decoy was loaded. Then the program and the uninstaller the payload carries are started
# from another such folder, with the decoys in %TEMP% too, where the uninstaller's removal copy
# runs (tests/planting/payload_programs.cpp).
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
. "$here/wine_drive.sh"  # ql_winpath
[ $# -eq 6 ] || {
  echo "usage: $0 DECOY.dll INSTALLER.exe WALK-DRIVER.exe UNINSTALLER.exe PROGRAM.exe PAYLOAD-DRIVER.exe" >&2
  exit 2
}
decoy=$1
installer=$2
driver=$3
uninstaller=$4
program=$5
payload_driver=$6
dir=$(mktemp -d /tmp/ql-planting.XXXXXX)
payload_dir=$(mktemp -d /tmp/ql-planting-payload.XXXXXX)
trap 'rm -rf "$dir" "$payload_dir"' EXIT
names=(gdiplus comctl32 shell32 shlwapi ole32 oleaut32 msimg32 advapi32 uxtheme version dwmapi
       imm32 winmm propsys windowscodecs cryptbase profapi userenv dbghelp rpcrt4 comdlg32 shcore
       windows.storage sspicli wldp combase)
for n in "${names[@]}"; do cp "$decoy" "$dir/$n.dll"; cp "$decoy" "$payload_dir/$n.dll"; done
cp "$installer" "$dir/setup.exe"
cp "$uninstaller" "$payload_dir/卸载程序.exe"
cp "$program" "$payload_dir/青岚笺语写作.exe"

# The payload's programs first: the walk below leaves a real installation behind.
"$root/scripts/wine-exec" "$payload_driver" "$(ql_winpath "$payload_dir")"
payload_rc=$?

"$here/wizard/run_walk.sh" "$driver" "$dir/setup.exe"
walk=$?
loaded=$(cd "$dir" && ls -- *.loaded 2>/dev/null)
if [ -n "$loaded" ]; then
  echo "dll_planting: decoys loaded from the installer's folder:" $loaded
  exit 1
fi
if [ $walk -ne 0 ]; then
  echo "dll_planting: the walk from the decoys' folder failed (exit $walk)"
  exit 1
fi
if [ $payload_rc -ne 0 ]; then
  echo "dll_planting: the uninstaller or the program loaded a decoy or failed (exit $payload_rc)"
  exit 1
fi
echo "dll_planting: the whole walk, the program and the uninstaller loaded none of ${#names[@]} decoys"
