#!/usr/bin/env bash
# reproducible_build.sh SOURCE-DIR BUILD-ROOT SECOND-DIR
# Copies the committed sources to SECOND-DIR/src, builds the installer there for i686 and x86_64
# (the installer target only, into SECOND-DIR/<target>) and compares both with
# BUILD-ROOT/<target>/qinglan-setup.exe byte for byte. Prints how long the second build took.
# SECOND-DIR stays for the signed-release test, which signs in that build.
set -u
[ $# -eq 3 ] || { echo "usage: $0 SOURCE-DIR BUILD-ROOT SECOND-DIR" >&2; exit 2; }
src=$1
builds=$2
second=$3
. "$src/scripts/env.sh"
rm -rf "$second"
mkdir -p "$second/src"
# Build outputs, the release folder and git's own data stay behind.
tar -C "$src" --exclude=./build --exclude=./dist --exclude=./.git -cf - . | tar -C "$second/src" -xf -

start=$(date +%s)
status=0
for t in i686 x86_64; do
  ours="$builds/$t/qinglan-setup.exe"
  [ -f "$ours" ] || { echo "reproducible: $ours not built"; status=1; continue; }
  dir="$second/$t"
  log="$second/$t.log"
  if ! cmake -S "$second/src" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$second/src/cmake/toolchain-$t.cmake" \
      -DQL_MINIZIP_DIR="$QL_MINIZIP_DIR" -DQL_TESTS=OFF >"$log" 2>&1 ||
    ! ninja -C "$dir" qinglan-setup >>"$log" 2>&1; then
    cat "$log"
    echo "reproducible: the second $t build failed"
    status=1
    continue
  fi
  if cmp -s "$ours" "$dir/qinglan-setup.exe"; then
    echo "reproducible: $t installer identical ($(stat -c %s "$ours") bytes, sha256 $(sha256sum <"$ours" | cut -c1-16)…)"
  else
    echo "reproducible: $t installers differ; first differing bytes (offset, ours, second build):"
    cmp -l "$ours" "$dir/qinglan-setup.exe" | head -10
    echo "reproducible: $(cmp -l "$ours" "$dir/qinglan-setup.exe" | wc -l) bytes differ"
    status=1
  fi
done
echo "reproducible: the second build took $(($(date +%s) - start)) s"
exit $status
