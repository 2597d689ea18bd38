#!/usr/bin/env bash
# check_imports.sh OBJDUMP INSTALLER.exe [OBJDUMP INSTALLER.exe ...]
# The installer's static imports are only DLLs that Windows always takes from the system directory
# (its known DLLs); every other library is delay-loaded after the DLL search was restricted.
set -u
allowed="advapi32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll"
status=0
while [ $# -ge 2 ]; do
  objdump=$1 exe=$2
  shift 2
  if [ ! -f "$exe" ]; then
    echo "check_imports: $exe not built"
    status=1
    continue
  fi
  imports=$("$objdump" -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  [ -n "$imports" ] || { echo "check_imports: no import table read from $exe"; status=1; continue; }
  for dll in $imports; do
    case " $allowed " in
      *" $dll "*) ;;
      *) echo "check_imports: $exe imports $dll statically"; status=1 ;;
    esac
  done
  echo "check_imports: $(basename "$(dirname "$exe")")/$(basename "$exe") imports" $imports
done
exit $status
