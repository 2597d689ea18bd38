#!/usr/bin/env bash
# ctest's wizard walk: run_walk.sh DRIVER.exe INSTALLER.exe
# Maps a fresh temporary directory as a free drive letter of the Wine prefix (the walk installs
# there), runs the driver under wine64 with screenshots going to build/screenshots, removes the
# mapping again and exits with the driver's code.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$root/scripts/env.sh"
[ $# -eq 2 ] || { echo "usage: $0 DRIVER.exe INSTALLER.exe" >&2; exit 2; }
driver=$1
installer=$2
. "$root/tests/wine_drive.sh"

target=$(mktemp -d /tmp/ql-walk.XXXXXX)
cleanup() {
  ql_release_drive
  rm -rf "$target"
}
trap cleanup EXIT
ql_claim_drive "$target" || exit 1

shots="$root/build/screenshots"
mkdir -p "$shots"
QL_SCREENSHOT_DIR=$(ql_winpath "$shots")
export QL_SCREENSHOT_DIR
echo "run_walk: drive ${ql_drive^^}: is $target; screenshots in $shots"
start=$(date +%s%N)
"$root/scripts/wine-exec" "$driver" "$(ql_winpath "$installer")" "${ql_drive^^}:" "$target"
rc=$?
# The installer is skinned: the same pictures are the skinned pages.
for shot in "$shots"/page-[0-5].png; do
  [ -f "$shot" ] && cp "$shot" "$shots/skinned-$(basename "$shot")"
done
echo "run_walk: driver exit $rc after $(( ($(date +%s%N) - start) / 1000000 )) ms"
exit $rc
