#!/usr/bin/env bash
# signed_release.sh SECOND-DIR START-CHECK.exe
# Makes a throwaway self-signed code-signing certificate with openssl and runs scripts/release with
# it for i686 and x86_64 in the second build that reproducible_build.sh left in SECOND-DIR: the
# uninstaller and the program are signed before they go into the payload, then the installer, and
# release verifies every signature. Then: SHA256SUMS matches, the signature is checked once more
# here (and fails on a copy with one changed byte), and the signed x86_64 installer passes its own
# integrity check under Wine and opens its wizard.
set -u
[ $# -eq 2 ] || { echo "usage: $0 SECOND-DIR START-CHECK.exe" >&2; exit 2; }
second=$1
check=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_drive.sh"  # ql_winpath
[ -x "$second/src/scripts/release" ] || { echo "signed_release: no second build in $second"; exit 1; }
work=$(mktemp -d /tmp/ql-signed.XXXXXX)
trap 'rm -rf "$work"' EXIT

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj "/CN=Qinglan Test Signing" -addext "extendedKeyUsage=codeSigning" >/dev/null 2>&1 &&
  openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.pfx" \
    -passout pass:throwaway-test-pass >/dev/null 2>&1 ||
  { echo "signed_release: openssl cannot make the certificate"; exit 1; }

status=0
for t in i686 x86_64; do
  out="$second/dist-$t"
  if ! QL_SIGN_PFX="$work/cert.pfx" QL_SIGN_PASS=throwaway-test-pass \
      "$second/src/scripts/release" --arch "$t" --out "$out" --build-dir "$second/$t" >"$work/$t.log" 2>&1; then
    cat "$work/$t.log"
    echo "signed_release: the signed $t release failed"
    status=1
    continue
  fi
  grep '^release: signature verified' "$work/$t.log" | sed "s/^/$t: /"
  [ "$(grep -c '^release: signature verified' "$work/$t.log")" -eq 3 ] ||
    { echo "signed_release: $t: not three verified signatures"; status=1; }
  (cd "$out" && sha256sum -c --quiet SHA256SUMS) || { echo "signed_release: $t: SHA256SUMS does not match"; status=1; }
  osslsigncode verify -CAfile "$work/cert.pem" -in "$out/qinglan-setup.exe" >/dev/null 2>&1 ||
    { echo "signed_release: $t: the installer's signature does not verify"; status=1; }
  # A verification that passes anything proves nothing: one changed byte must fail it.
  cp "$out/qinglan-setup.exe" "$work/changed.exe"
  printf '\x5a' | dd of="$work/changed.exe" bs=1 seek=4096 conv=notrunc 2>/dev/null
  if osslsigncode verify -CAfile "$work/cert.pem" -in "$work/changed.exe" >/dev/null 2>&1; then
    echo "signed_release: $t: a changed installer still verifies"
    status=1
  fi
done

# The signed installer still finds and checks its archive (by resource, not by the file's end).
signed="$second/dist-x86_64/qinglan-setup.exe"
if [ -f "$signed" ]; then
  "$here/../scripts/wine-exec" "$check" --gtest_filter=StartCheck.Intact* "$(ql_winpath "$signed")" ||
    { echo "signed_release: the signed x86_64 installer did not open its wizard"; status=1; }
fi
[ $status -eq 0 ] && echo "signed_release: signed, verified and started"
exit $status
