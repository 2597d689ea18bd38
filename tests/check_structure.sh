#!/usr/bin/env bash
# The floors stand on each other, never the other way round, and no two units include each other
# in a circle (a unit is a source and its header; A depends on B when A.cpp or A.h includes B.h).
# - skin/: the engine keeps to its folders (core/, frames/, painters/) and includes nothing of the
#   installer application;
# - app/: the installation engine (app/engine/) includes nothing of the wizard above it.
set -u
skin=${1:?usage: check_structure.sh SKIN_DIR APP_DIR}
app=${2:?usage: check_structure.sh SKIN_DIR APP_DIR}
status=0

includes() {  # the quoted includes of a file, as written
  sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$1"
}
sources() { find "$1" -type f \( -name '*.h' -o -name '*.cpp' \) | sort; }
headers() { find "$1" -type f -name '*.h' -printf '%f\n' | sort -u; }

# "unit dep" for every include of a header of the same tree.
edges() {
  local root=$1 known
  known=$(headers "$root")
  sources "$root" | while read -r f; do
    unit=$(basename "${f%.*}")
    includes "$f" | while read -r inc; do
      dep=$(basename "$inc" .h)
      [ "$dep" != "$unit" ] && grep -qxF "$dep.h" <<<"$known" && echo "$unit $dep"
    done
  done | sort -u
}

no_circle() {  # tree name, edges
  local loops
  if ! loops=$(printf '%s\n' "$2" | tsort 2>&1 >/dev/null) || [ -n "$loops" ]; then
    echo "FAIL: units of $1 depend on each other in a circle:"
    echo "$loops"
    return 1
  fi
}

# ---- skin/ ----
for folder in core frames painters; do
  if [ ! -d "$skin/$folder" ]; then
    echo "FAIL: skin/$folder is missing"
    status=1
  fi
done
loose=$(find "$skin" -maxdepth 1 -type f \( -name '*.h' -o -name '*.cpp' \))
if [ -n "$loose" ]; then
  echo "FAIL: sources of the skin engine outside its folders:"
  echo "$loose"
  status=1
fi
skinHeaders=$(headers "$skin")
appHeaders=$(headers "$app")
outside=$(sources "$skin" | while read -r f; do
  includes "$f" | while read -r inc; do
    name=$(basename "$inc")
    if [[ $inc == ../* || $inc == */../* || $inc == app/* ]] ||
      { grep -qxF "$name" <<<"$appHeaders" && ! grep -qxF "$name" <<<"$skinHeaders"; }; then
      echo "$f: $inc"
    fi
  done
done)
if [ -n "$outside" ]; then
  echo "FAIL: the skin engine includes files from outside skin/:"
  echo "$outside"
  status=1
fi
skinEdges=$(edges "$skin")
no_circle skin/ "$skinEdges" || status=1

# ---- app/ ----
engineHeaders=$(headers "$app/engine")
upward=$(sources "$app/engine" | while read -r f; do
  includes "$f" | while read -r inc; do
    name=$(basename "$inc")
    if grep -qxF "$name" <<<"$appHeaders" && ! grep -qxF "$name" <<<"$engineHeaders"; then
      echo "$f: $inc"
    fi
  done
done)
if [ -n "$upward" ]; then
  echo "FAIL: the installation engine includes the wizard above it:"
  echo "$upward"
  status=1
fi
appEdges=$(edges "$app")
no_circle app/ "$appEdges" || status=1

if [ $status = 0 ]; then
  echo "skin/: $(printf '%s\n' "$skinEdges" | grep -c .) include edges, none outside, no circle"
  echo "app/: $(printf '%s\n' "$appEdges" | grep -c .) include edges, the engine includes nothing above it, no circle"
fi
exit $status
