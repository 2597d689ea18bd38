#!/usr/bin/env bash
# Maps an 8 MiB tmpfs as a Wine drive and runs the installation test that must refuse it.
# Needs root for the mount; elsewhere the test is skipped (exit 77).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/env.sh"
. "$root/tests/wine_drive.sh"
exe=$1
mnt=$(mktemp -d /tmp/ql-small.XXXXXX)
if ! mount -t tmpfs -o size=8m tmpfs "$mnt" 2>/dev/null; then
  rmdir "$mnt"
  echo "cannot mount a tmpfs here: skipped"
  exit 77
fi
if ql_claim_drive "$mnt"; then
  QL_SMALL_DRIVE="$ql_drive:\\" "$root/scripts/wine-exec" "$exe" \
    --gtest_filter=Installation.SmallDriveIsRefusedBeforeWriting
  rc=$?
  ql_release_drive
else
  rc=1
fi
umount "$mnt"
rmdir "$mnt"
exit $rc
