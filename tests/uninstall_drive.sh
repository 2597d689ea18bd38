#!/usr/bin/env bash
# Runs the uninstall tests (and their listing) under wine64: uninstall_drive.sh EXE [ARGS...]
# An empty scratch directory is mapped as a free drive letter of the prefix and named in
# QL_ROOT_DRIVE ("T:"), so an installation into a drive root can be removed again; the prefix's
# desktop (a link that other prefixes share) is a private directory for the run.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/env.sh"
. "$root/tests/wine_drive.sh"
. "$root/tests/private_desktop.sh"

target=$(mktemp -d /tmp/ql-uninstall.XXXXXX)
ql_swap_desktop ql-uninstall-desktop
cleanup() {
  ql_restore_desktop
  ql_release_drive
  rm -rf "$target"
}
trap cleanup EXIT
ql_claim_drive "$target" || exit 1
QL_ROOT_DRIVE="${ql_drive^^}:" "$root/scripts/wine-exec" "$@"
