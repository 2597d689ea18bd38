# Sourced by the tests whose runs place the desktop shortcut (after scripts/env.sh). The prefix's
# desktop is a link that other prefixes share (to $HOME), whose runs make the same shortcut, so for
# a run it points at a private directory of its own.

ql_desktop="$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/Desktop"
ql_desktop_was=
ql_private_desktop=

# ql_swap_desktop NAME [SAVED]: points the desktop at a new /tmp/NAME.XXXXXX. SAVED (optional)
# keeps the desktop's own target while the run borrows it, for ql_repair_desktop after a run that
# was killed before its cleanup.
ql_swap_desktop() {
  ql_desktop_was=$(readlink "$ql_desktop" 2>/dev/null || true)
  ql_private_desktop=$(mktemp -d "/tmp/$1.XXXXXX")
  if [ -n "$ql_desktop_was" ]; then
    [ -n "${2:-}" ] && printf '%s' "$ql_desktop_was" >"$2"
    ln -sfn "$ql_private_desktop" "$ql_desktop"
  fi
}

# ql_restore_desktop [SAVED]: the desktop's own target back, the private directory gone.
ql_restore_desktop() {
  if [ -n "$ql_desktop_was" ]; then
    ln -sfn "$ql_desktop_was" "$ql_desktop"
    [ -n "${1:-}" ] && rm -f "$1"
  fi
  rm -rf "$ql_private_desktop"
}

# ql_repair_desktop SAVED: puts back what a killed run left borrowed.
ql_repair_desktop() {
  if [ -f "$1" ]; then
    ln -sfn "$(cat "$1")" "$ql_desktop"
    rm -f "$1"
  fi
}
