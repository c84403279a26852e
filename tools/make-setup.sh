#!/usr/bin/env bash
# Makes a publisher's setup file from a product folder, in one command:
#
#   tools/make-setup.sh PRODUCT_FOLDER [BUILD_FOLDER]      (or: make setup PRODUCT=folder)
#
# Builds only the shipped 32-bit setup program, in BUILD_FOLDER (default build/release), with
# the folder's files as its payload; signs it when STAMPWELL_SIGN_PKCS12 or STAMPWELL_SIGN_CERT
# and STAMPWELL_SIGN_KEY are set (README, "A setup for your product"); writes its winget
# manifest into BUILD_FOLDER/winget (tools/winget_manifest.py; the download address from
# STAMPWELL_WINGET_INSTALLER_URL); and prints where the file is, its size and its SHA-256
# checksum, to be published beside the download.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 1 ] || { echo "usage: make-setup.sh PRODUCT_FOLDER [BUILD_FOLDER]" >&2; exit 2; }
[ -d "$1" ] || { echo "make-setup: $1 is not a folder" >&2; exit 2; }
product=$(cd "$1" && pwd)
build=${2:-$root/build/release}

bash "$root/tools/bootstrap.sh"
# Every run passes the signing settings again, so that the tree follows the environment (a
# setting left out is cleared, not kept from an earlier run). Paths become absolute: the
# build resolves them from its own folder.
absolute() { if [ -n "$1" ]; then realpath -m -- "$1"; fi; }
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw.cmake" -DSTAMPWELL_ARCH=i686 \
  -DSTAMPWELL_PAYLOAD_DIR="$product" -DSTAMPWELL_FULL_PAYLOAD=OFF \
  -DSTAMPWELL_SIGN_PKCS12="$(absolute "${STAMPWELL_SIGN_PKCS12:-}")" \
  -DSTAMPWELL_SIGN_CERT="$(absolute "${STAMPWELL_SIGN_CERT:-}")" \
  -DSTAMPWELL_SIGN_KEY="$(absolute "${STAMPWELL_SIGN_KEY:-}")" \
  -DSTAMPWELL_SIGN_PASSWORD_FILE="$(absolute "${STAMPWELL_SIGN_PASSWORD_FILE:-}")" \
  -DSTAMPWELL_SIGN_TIMESTAMP_URL="${STAMPWELL_SIGN_TIMESTAMP_URL:-}" >/dev/null
cmake --build "$build" --target StampwellSetup

exe="$build/StampwellSetup.exe"
echo
echo "setup program: $exe"
echo "size:          $(stat -c %s "$exe") bytes"
signature=$(mktemp -u)
if osslsigncode extract-signature -in "$exe" -out "$signature" >/dev/null 2>&1; then
  rm -f "$signature"
  echo "signature:     Authenticode, SHA-256 (osslsigncode verify -in \"$exe\" shows it)"
else
  echo "signature:     none (unsigned)"
fi
echo "debug file:    $build/StampwellSetup.debug (keep it; do not publish it)"
echo "SHA-256:       $(sha256sum "$exe" | cut -d' ' -f1)"
# The signed file's checksum: the manifest is written after the build has signed it.
rm -rf "$build/winget"
echo "winget:        $(python3 "$root/tools/winget_manifest.py" --setup "$exe" --out "$build/winget" | xargs -n1 basename | paste -sd' ')"
echo "               in $build/winget (the installer address: STAMPWELL_WINGET_INSTALLER_URL, else below the home page)"
