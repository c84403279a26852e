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
  # Signing the shipped program (Authenticode), the throwaway certificate of its test, and the
  # debugger that reads its separate debug file.
  osslsigncode openssl gdb
  # The benchmark's peer installers: an NSIS setup and an MSI package of the same files.
  nsis wixl
  # The test of the winget manifest that `make setup` writes reads it back as YAML.
  python3-yaml
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done

# The 32-bit stage runs the shipped 32-bit program under qemu-user where the kernel runs no
# 32-bit code. It needs qemu 10: under Debian 12's own qemu-user 7.2, Wine's 32-bit side dies in
# its signal handling part-way through a run, and runs about ten times slower. Debian 12 gets it
# from its backports suite, which apt only takes from when asked (-t); later releases carry it.
# Only the emulator is installed: qemu-user-binfmt, which would register it for the whole
# machine, is not (the stage registers it for itself alone).
qemu_version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || true)
qemu_release=()
if ! installed qemu-user || ! dpkg --compare-versions "$qemu_version" ge 1:10; then
  missing+=(qemu-user)
  . /etc/os-release
  if [ "${VERSION_CODENAME:-}" = bookworm ]; then qemu_release=(-t bookworm-backports); fi
fi
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
if [ ${#qemu_release[@]} -gt 0 ] && ! grep -rqs "bookworm-backports" /etc/apt/sources.list /etc/apt/sources.list.d/; then
  # From the mirror the machine already uses for Debian itself.
  mirror=$(grep -rhoE '^URIs: *[^ ]+/debian/?( |$)' /etc/apt/sources.list.d/ 2>/dev/null | head -n 1 | awk '{print $2}')
  [ -n "$mirror" ] || mirror=$(grep -hoE '^deb +[^ ]+/debian/? +bookworm ' /etc/apt/sources.list 2>/dev/null | head -n 1 | awk '{print $2}')
  printf '%s\n' "Types: deb" "URIs: ${mirror:-http://deb.debian.org/debian}" "Suites: bookworm-backports" \
    "Components: main" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" \
    >/etc/apt/sources.list.d/stampwell-bookworm-backports.sources
fi
# A mirror caught mid-sync fails one list now and then; the install then works from the lists
# that were fetched, and says what it misses if that is not enough.
apt-get update -qq || { sleep 10; apt-get update -qq; } || echo "bootstrap: some package lists could not be fetched; going on" >&2
others=()
for p in "${missing[@]}"; do [ "$p" = qemu-user ] || others+=("$p"); done
if [ ${#others[@]} -gt 0 ]; then
  # A list that could not be fetched for one architecture only (the security suite's i386 list
  # has been seen caught mid-sync for days) leaves the two architectures at different versions
  # of the same library, which multiarch refuses. The release's own versions exist for both.
  if ! apt-get install -y -qq --no-install-recommends "${others[@]}" >/dev/null; then
    . /etc/os-release
    [ -n "${VERSION_CODENAME:-}" ] || exit 1
    echo "bootstrap: retrying with the packages of ${VERSION_CODENAME} itself, without its updates" >&2
    apt-get install -y -qq --no-install-recommends -t "$VERSION_CODENAME" "${others[@]}" >/dev/null
  fi
fi
if [ ${#others[@]} -lt ${#missing[@]} ]; then
  # An older qemu-user-static that this script installed before is replaced by qemu-user; its
  # successor would bring qemu-user-binfmt, and with it a registration for the whole machine.
  keep_binfmt=qemu-user-binfmt-
  installed qemu-user-binfmt && keep_binfmt=
  apt-get install -y -qq --no-install-recommends "${qemu_release[@]}" qemu-user $keep_binfmt >/dev/null
fi
