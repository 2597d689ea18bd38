#!/usr/bin/env bash
# unzip -t on the installer exe: all 17 entries test OK and unzip reports no error. (The bytes in
# front of the archive only draw a warning about extra bytes, exit code 1.)
set -u
out=$(unzip -t "$1" 2>&1)
rc=$?
echo "$out" | tail -3
ok=$(echo "$out" | grep -c ' OK$')
if [ "$rc" -gt 1 ] || ! echo "$out" | grep -q 'No errors detected' || [ "$ok" -ne 17 ]; then
  echo "FAIL: unzip -t exit $rc, $ok entries OK (want 17)"
  exit 1
fi
echo "17 entries OK"
