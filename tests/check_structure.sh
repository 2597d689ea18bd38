#!/usr/bin/env bash
# The skin engine stands on its own: nothing in skin/ includes a header of the installer
# application, and no two sources of the engine depend on each other in a circle (a unit is a
# source and its header; A depends on B when A.cpp or A.h includes B.h).
set -u
skin=${1:?usage: check_structure.sh SKIN_DIR}
status=0

outside=$(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*/)?\.\./|^[[:space:]]*#[[:space:]]*include[[:space:]]*"app/' \
  "$skin"/*.h "$skin"/*.cpp)
if [ -n "$outside" ]; then
  echo "FAIL: the skin engine includes files from outside skin/:"
  echo "$outside"
  status=1
fi

edges=$(for f in "$skin"/*.h "$skin"/*.cpp; do
  unit=$(basename "${f%.*}")
  sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"/]+)\.h".*/\1/p' "$f" |
    while read -r dep; do
      [ "$dep" != "$unit" ] && [ -f "$skin/$dep.h" ] && echo "$unit $dep"
    done
done | sort -u)
if ! loops=$(printf '%s\n' "$edges" | tsort 2>&1 >/dev/null) || [ -n "$loops" ]; then
  echo "FAIL: units of the skin engine depend on each other in a circle:"
  echo "$loops"
  status=1
fi
[ $status = 0 ] && echo "skin/: $(printf '%s\n' "$edges" | wc -l) include edges, none outside, no circle"
exit $status
