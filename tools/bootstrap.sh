#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian machine, run as root.
# Does nothing when all of it is already there, so every build step may call it.
set -euo pipefail

packages=(
  cmake make ninja-build python3 git
  mingw-w64 g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine32:i386 wine64
  # Wine's own Tahoma and MS Sans Serif: without them every dialog face falls back to a much
  # wider one and captions sized for Windows' fonts are clipped.
  fonts-wine
  xvfb xdotool x11-apps imagemagick
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  # The 32-bit stage: runs the shipped 32-bit program where the kernel runs no 32-bit code.
  qemu-user-static
  # Signing the shipped program (Authenticode), the throwaway certificate of its test, and the
  # debugger that reads its separate debug file.
  osslsigncode openssl gdb
  # The benchmark's peer installers: an NSIS setup and an MSI package of the same files.
  nsis wixl
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "bootstrap: missing packages: ${missing[*]}" >&2
  echo "bootstrap: run as root (or install them) and try again" >&2
  exit 1
fi

echo "bootstrap: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
