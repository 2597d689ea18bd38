# Sourced by the tests that give the Wine prefix a drive of their own (after scripts/env.sh).

# The Unix path as Wine's Z: drive names it.
ql_winpath() { printf 'Z:%s' "${1//\//\\}"; }

# ql_claim_drive DIR [LETTERS]: links DIR as the first free letter of the prefix (of LETTERS when
# given) and sets ql_drive to it. ln -sn refuses an existing link, so a claim is atomic against a
# parallel run (without -n, ln follows a link to a directory and makes the new link inside it, and
# both runs get the letter).
ql_drive=
ql_claim_drive() {
  local l
  for l in ${2:-t u v w x y s r q p o n}; do
    if ln -sn "$1" "$WINEPREFIX/dosdevices/$l:" 2>/dev/null; then
      ql_drive=$l
      return 0
    fi
  done
  echo "no free drive letter in $WINEPREFIX/dosdevices" >&2
  return 1
}

ql_release_drive() {
  [ -n "$ql_drive" ] && rm -f "$WINEPREFIX/dosdevices/$ql_drive:"
  ql_drive=
}
