#!/usr/bin/env bash
# Draws the skin images again into a scratch directory and compares them byte by byte with the
# committed ones.
set -euo pipefail
root=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$root/tools/make-skin-assets" "$tmp"
diff -r "$root/assets/skin" "$tmp"
