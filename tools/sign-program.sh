#!/usr/bin/env bash
# Signs a Windows program in place with Authenticode (SHA-256), through osslsigncode.
#
#   sign-program.sh PROGRAM.exe
#
# The certificate comes from the environment:
#   STAMPWELL_SIGN_PKCS12         a PKCS#12 file (.p12/.pfx) holding the certificate and its key, or
#   STAMPWELL_SIGN_CERT + _KEY    a PEM certificate (chain) and a PEM private key;
#   STAMPWELL_SIGN_PASSWORD       the password of the PKCS#12 file or of the key, or
#   STAMPWELL_SIGN_PASSWORD_FILE  a file whose first line is that password;
#   STAMPWELL_SIGN_TIMESTAMP_URL  an RFC 3161 time-stamp server (optional: without one the
#                                 signature is valid only as long as the certificate is).
# The program is replaced only once the signed copy has been written whole.
set -euo pipefail
program=${1:?usage: sign-program.sh PROGRAM.exe}
osslsigncode=${OSSLSIGNCODE:-osslsigncode}

args=(sign -h sha256 -n "Quendra Stampwell" -i "http://www.quendrasoft.com/stampwell/")
if [ -n "${STAMPWELL_SIGN_PKCS12:-}" ]; then
  args+=(-pkcs12 "$STAMPWELL_SIGN_PKCS12")
elif [ -n "${STAMPWELL_SIGN_CERT:-}" ] && [ -n "${STAMPWELL_SIGN_KEY:-}" ]; then
  args+=(-certs "$STAMPWELL_SIGN_CERT" -key "$STAMPWELL_SIGN_KEY")
else
  echo "sign-program: give STAMPWELL_SIGN_PKCS12, or both STAMPWELL_SIGN_CERT and STAMPWELL_SIGN_KEY" >&2
  exit 2
fi

# The password reaches osslsigncode through a file, never on its command line (which every
# user of the machine can read).
password_file=""
cleanup() { [ -z "$password_file" ] || rm -f "$password_file"; rm -f "$program.signing"; }
trap cleanup EXIT
if [ -n "${STAMPWELL_SIGN_PASSWORD:-}" ]; then
  password_file=$(mktemp)
  chmod 600 "$password_file"
  printf '%s\n' "$STAMPWELL_SIGN_PASSWORD" >"$password_file"
  args+=(-readpass "$password_file")
elif [ -n "${STAMPWELL_SIGN_PASSWORD_FILE:-}" ]; then
  args+=(-readpass "$STAMPWELL_SIGN_PASSWORD_FILE")
fi
if [ -n "${STAMPWELL_SIGN_TIMESTAMP_URL:-}" ]; then
  args+=(-ts "$STAMPWELL_SIGN_TIMESTAMP_URL")
fi

"$osslsigncode" "${args[@]}" -in "$program" -out "$program.signing" >/dev/null
mv -f "$program.signing" "$program"
echo "sign-program: signed $program"
