#!/usr/bin/env bash
# Builds the setup program a second time, from a copy of the same sources in another folder,
# and compares the two files byte for byte:
#   reproducible_build.sh SOURCE_DIR TREE
# TREE is the build tree whose StampwellSetup.exe is checked; the second build uses its
# toolchain file, architecture and payload options, and builds only that one target. When the tree signs its
# program, the tree's signature is attached to the second build first (as anyone checking a
# published setup would do).
set -euo pipefail
source=$(cd "$1" && pwd)
tree=$(cd "$2" && pwd)
started=$(date +%s%N)

cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$tree/CMakeCache.txt" | head -n 1; }
toolchain=$(basename "$(cache_value CMAKE_TOOLCHAIN_FILE)")
options=(-DCMAKE_BUILD_TYPE="$(cache_value CMAKE_BUILD_TYPE)"
         -DSTAMPWELL_ARCH="$(cache_value STAMPWELL_ARCH)"
         -DSTAMPWELL_PAYLOAD_DIR="$(cache_value STAMPWELL_PAYLOAD_DIR)"
         -DSTAMPWELL_FULL_PAYLOAD="$(cache_value STAMPWELL_FULL_PAYLOAD)"
         -DSTAMPWELL_SOURCE_DATE_EPOCH="$(cache_value STAMPWELL_SOURCE_DATE_EPOCH)"
         -DSTAMPWELL_SIGN_PKCS12= -DSTAMPWELL_SIGN_CERT= -DSTAMPWELL_SIGN_KEY=)

# The copy sits beside the tree, not inside the sources, so that its paths differ from the
# first build's in every component that a path could leak.
work="$tree/reproduce"
rm -rf "$work"
mkdir -p "$work/sources"
trap 'rm -rf "$work"' EXIT
tar -C "$source" --exclude=./build --exclude=./.git -cf - . | tar -C "$work/sources" -xf -

cmake -S "$work/sources" -B "$work/sources/build/second" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$work/sources/cmake/$toolchain" "${options[@]}" >"$work/configure.log" 2>&1 ||
  { cat "$work/configure.log"; exit 1; }
if ! nice -n 10 cmake --build "$work/sources/build/second" -j "$(nproc)" --target StampwellSetup >"$work/build.log" 2>&1; then
  tail -n 40 "$work/build.log"
  exit 1
fi
first="$tree/StampwellSetup.exe"
second="$work/sources/build/second/StampwellSetup.exe"
elapsed=$(( ($(date +%s%N) - started) / 100000000 ))
echo "reproducible_build: the second build of StampwellSetup.exe ($toolchain, copy and configure included) took $((elapsed / 10)).$((elapsed % 10)) s"

if osslsigncode extract-signature -in "$first" -out "$work/signature.der" >/dev/null 2>&1; then
  # attach-signature also checks the signer against the system's roots, and fails for a
  # certificate that they do not know even when the file is written whole.
  osslsigncode attach-signature -sigin "$work/signature.der" -in "$second" -out "$work/attached.exe" >/dev/null 2>&1 || true
  second="$work/attached.exe"
  echo "reproducible_build: the tree's program is signed; its signature is attached to the second build"
fi
if cmp -s "$first" "$second"; then
  echo "reproducible_build: identical, $(stat -c %s "$first") bytes, SHA-256 $(sha256sum "$first" | cut -d' ' -f1)"
  exit 0
fi
echo "reproducible_build: the two builds differ ($(stat -c %s "$first") and $(stat -c %s "$second") bytes); first differences:"
cmp -l "$first" "$second" | head -n 10
exit 1
