#!/usr/bin/env bash
# ctest's fault walk: run_faults.sh DRIVER.exe INSTALLER.exe
# Mounts a 48 MiB tmpfs (room for the installation, so that the tests decide when it runs out) as
# a free drive letter, with a read-only bind mount of "readonly/青岚笺语" inside, and runs the
# driver's fault cases on it. Needs root for the mounts; elsewhere it is skipped (exit 77).
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$root/scripts/env.sh"
[ $# -eq 2 ] || { echo "usage: $0 DRIVER.exe INSTALLER.exe" >&2; exit 2; }
. "$root/tests/wine_drive.sh"
. "$root/tests/private_desktop.sh"

target=$(mktemp -d /tmp/ql-faults.XXXXXX)
if ! mount -t tmpfs -o size=48m tmpfs "$target" 2>/dev/null; then
  rmdir "$target"
  echo "run_faults: cannot mount a tmpfs here: skipped"
  exit 77
fi
product="$target/readonly/青岚笺语"
mkdir -p "$product"
echo "from an earlier installation" >"$product/old.txt"
readonly_dir=
if mount --bind "$product" "$product" 2>/dev/null; then
  if mount -o remount,ro,bind "$product" 2>/dev/null; then
    readonly_dir=readonly
  else
    umount "$product"
  fi
fi
ql_swap_desktop ql-faults-desktop
cleanup() {
  ql_restore_desktop
  ql_release_drive
  [ -n "$readonly_dir" ] && { umount "$product" 2>/dev/null || umount -l "$product"; }
  umount "$target" 2>/dev/null || umount -l "$target"
  rmdir "$target"
}
trap cleanup EXIT
ql_claim_drive "$target" || exit 1
echo "run_faults: drive ${ql_drive^^}: is a tmpfs at $target; read-only directory: ${readonly_dir:-none}"
export QL_FAULT_DRIVE=1 GTEST_FILTER='WizardFaults.*'
[ -n "$readonly_dir" ] && export QL_READONLY_DIR=$readonly_dir
"$root/scripts/wine-exec" "$1" "$(ql_winpath "$2")" "${ql_drive^^}:" "$target"
