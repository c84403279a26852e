#!/usr/bin/env bash
# Signs copies of the built setup program with a throwaway self-signed certificate, through the
# build's own signing script (PKCS#12 with a password, and a PEM certificate and key), checks
# the signatures with osslsigncode, and installs with the signed copy under Wine: signing
# appends a certificate table to the file, and the program must still read every payload
# resource through its own payload code and install it byte for byte.
#   signed_setup_test.sh SOURCE_DIR TREE
set -euo pipefail
source=$(cd "$1" && pwd)
tree=$(cd "$2" && pwd)
work="$tree/signed"
rm -rf "$work"
mkdir -p "$work"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# A code-signing certificate that lives only as long as this test.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Stampwell throwaway test signer" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout pass:throwaway \
  -out "$work/cert.p12"

unsigned="$tree/StampwellSetup.exe"
mkdir -p "$work/p12" "$work/pem"
cp "$unsigned" "$work/p12/StampwellSetup.exe"
cp "$unsigned" "$work/pem/StampwellSetup.exe"
STAMPWELL_SIGN_PKCS12="$work/cert.p12" STAMPWELL_SIGN_PASSWORD=throwaway \
  bash "$source/tools/sign-program.sh" "$work/p12/StampwellSetup.exe"
STAMPWELL_SIGN_CERT="$work/cert.pem" STAMPWELL_SIGN_KEY="$work/key.pem" \
  bash "$source/tools/sign-program.sh" "$work/pem/StampwellSetup.exe"

for signed in "$work/p12/StampwellSetup.exe" "$work/pem/StampwellSetup.exe"; do
  # The throwaway certificate is its own root: trusting it lets verify check the whole chain.
  report=$(osslsigncode verify -in "$signed" -CAfile "$work/cert.pem" 2>&1) || fail "osslsigncode verify: $report"
  current=$(sed -n 's/^Current message digest *: *//p' <<<"$report" | head -n 1)
  calculated=$(sed -n 's/^Calculated message digest *: *//p' <<<"$report" | head -n 1)
  [ -n "$current" ] && [ "$current" = "$calculated" ] || fail "$signed: the signed hash ($current) is not the file's ($calculated)"
  grep -q "Message digest algorithm *: *SHA256" <<<"$report" || fail "$signed: not signed with SHA-256"
  grep -q "Stampwell throwaway test signer" <<<"$report" || fail "$signed: the signer is not the test certificate"
  [ "$(stat -c %s "$signed")" -gt "$(stat -c %s "$unsigned")" ] || fail "$signed: no certificate table was appended"
done
echo "signed_setup_test: both copies signed and verified (SHA-256, hash matches the file)"

# A published signature fits an independent build of the same sources: attached to the
# unsigned program, it gives the signed file back byte for byte.
osslsigncode extract-signature -in "$work/p12/StampwellSetup.exe" -out "$work/signature.der" >/dev/null
osslsigncode attach-signature -sigin "$work/signature.der" -CAfile "$work/cert.pem" -in "$unsigned" \
  -out "$work/attached.exe" >/dev/null
cmp -s "$work/attached.exe" "$work/p12/StampwellSetup.exe" ||
  fail "the signature attached to the unsigned program does not give the signed file"

# A whole Quick Install with the signed program: every payload file is read by the program
# itself and compared with the payload folder, then removed again.
if python3 "$source/tests/e2e/drive_setup.py" --build-dir "$tree" --exe "$work/p12/StampwellSetup.exe" quick; then
  echo "signed_setup_test: the signed copy installed its whole payload under Wine"
else
  fail "the signed copy did not install its payload"
fi

[ "$failures" -eq 0 ] && rm -rf "$work"
exit $(( failures > 0 ))
