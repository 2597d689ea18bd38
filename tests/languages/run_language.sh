#!/usr/bin/env bash
# ctest's display-language-CODE-PAGE:
#   run_language.sh CODE-PAGE DRIVER.exe INSTALLER.exe GALLERY.exe SHOTS-DIR
# Runs the language walk under the Unix locale that gives Wine the ANSI code page CODE-PAGE; the
# installer, the uninstaller and the gallery it starts inherit that locale. A scratch directory is
# the drive the walk installs on, and the prefix's desktop is a private directory for the run.
# Under 936 the walk writes the reference to SHOTS-DIR/936; under the others it writes to
# SHOTS-DIR/CODE-PAGE and compares with the reference.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$root/scripts/env.sh"
[ $# -eq 5 ] || { echo "usage: $0 CODE-PAGE DRIVER.exe INSTALLER.exe GALLERY.exe SHOTS-DIR" >&2; exit 2; }
code_page=$1 driver=$2 installer=$3 gallery=$4 shots_root=$5
case $code_page in
  936) locale=zh_CN.UTF-8 ;;
  1252) locale=en_US.UTF-8 ;;
  932) locale=ja_JP.UTF-8 ;;
  950) locale=zh_TW.UTF-8 ;;
  *) echo "run_language: no locale known for code page $code_page" >&2; exit 2 ;;
esac
if ! locale -a 2>/dev/null | grep -qi "^${locale%%.*}\.utf-\?8$"; then
  echo "run_language: the locale $locale is not generated (scripts/setup generates it)" >&2
  exit 1
fi
# Wine takes the ANSI code page, and the UI language, from the Unix locale.
export LC_ALL=$locale
unset LANGUAGE
. "$root/tests/wine_drive.sh"
. "$root/tests/private_desktop.sh"

# A run stopped before its cleanup (killed at its timeout) left its drive and its desktop link:
# put them back first (runs are serial, so no other run owns them). The desktop's own target is
# kept in the prefix while a run borrows it.
for l in l k j i h g; do
  t=$(readlink "$WINEPREFIX/dosdevices/$l:" 2>/dev/null) || continue
  case $t in /tmp/ql-language.*) rm -rf "$WINEPREFIX/dosdevices/$l:" "$t" ;; esac
done
rm -rf /tmp/ql-language-desktop.*
desktop_saved="$WINEPREFIX/.ql-language-desktop"
ql_repair_desktop "$desktop_saved"

target=$(mktemp -d /tmp/ql-language.XXXXXX)
ql_swap_desktop ql-language-desktop "$desktop_saved"
out=$(mktemp)
run() { "$QL_WINE" "$@" >"$out" 2>&1 </dev/null; local rc=$?; cat "$out"; return $rc; }
cleanup() {
  # Whatever a stopped walk left: its programs, a desktop setting pointing into its profile.
  [ -n "$ql_drive" ] && run "$driver" --tidy "${ql_drive^^}:" | grep -v '^language-walk: ANSI'
  ql_restore_desktop "$desktop_saved"
  rm -rf "$WINEPREFIX"/drive_c/users/*/ql-language-profile*
  ql_release_drive
  rm -rf "$target" "$out"
}
trap cleanup EXIT
# One letter for every run, so the directory page shows the same path under each code page.
ql_claim_drive "$target" "l k j i h g" || exit 1

shots="$shots_root/$code_page"
mkdir -p "$shots"
rm -f "$shots"/*.png "$shots"/*.txt
reference=()
if [ "$code_page" != 936 ]; then
  reference=("$(ql_winpath "$shots_root/936")")
  [ -f "$shots_root/936/record.txt" ] ||
    echo "run_language: no reference in $shots_root/936 yet (display-language-936 writes it)"
fi
echo "run_language: LC_ALL=$LC_ALL, drive ${ql_drive^^}: is $target, screenshots in $shots"
start=$(date +%s%N)
# Run here rather than through scripts/wine-exec, whose settings would put back zh_CN.UTF-8.
# A driver that ends with an error before printing anything never got to its main: once more.
for attempt in 1 2; do
  run "$driver" "$code_page" "$(ql_winpath "$installer")" "$(ql_winpath "$gallery")" \
    "${ql_drive^^}:" "$target" "$(ql_winpath "$shots")" "${reference[@]}"
  rc=$?
  [ $rc -ne 0 ] && [ ! -s "$out" ] || break
done
echo "run_language: driver exit $rc after $(( ($(date +%s%N) - start) / 1000000 )) ms"
exit $rc
