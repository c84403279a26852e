#!/usr/bin/env bash
# Gives the build tree's Wine prefix two drives of its own for the install run's machine
# faults, runs those cases of the test program, and removes both drives again, also when
# the cases fail or the script is stopped:
#
#   a small drive (half the payload's size), which fills up during the extraction;
#   a read-only drive with room for the payload that holds an empty "Quendra Soft\Quendra Stampwell".
#
#   small_drives.sh --build-dir DIR TEST_PROGRAM
#
# Each drive is a loop-mounted ext2 image, or a tmpfs where a loop device cannot be had.
# Mounting needs root; where it is refused the script says why and exits with 77, which
# CTest reports as skipped.
set -u

build=""
if [ "${1:-}" = "--build-dir" ]; then build=$2; shift 2; fi
program=${1:-}
[ -n "$build" ] && [ -n "$program" ] || { echo "usage: small_drives.sh --build-dir DIR TEST_PROGRAM" >&2; exit 2; }
build=$(cd "$build" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
runner="$here/../../tools/wine-run.sh"
dosdevices="$build/wineprefix/dosdevices"
skip=77

work=$(mktemp -d "$build/small-drives.XXXXXX")
mounted=()
links=()
cleanup() {
  local i
  for link in "${links[@]}"; do rm -f "$link"; done
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}"
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# mount_drive DIR KILOBYTES: a loop-mounted ext2 image, else a tmpfs; fails when neither.
mount_drive() {
  local dir=$1 size=$2 image="$work/$(basename "$1").img"
  mkdir -p "$dir"
  if truncate -s "${size}K" "$image" && mkfs.ext2 -q -F -m 0 "$image" >/dev/null 2>&1 &&
     mount -o loop "$image" "$dir" 2>/dev/null; then
    mounted+=("$dir")
    echo "small_drives: $dir is a loop-mounted ext2 image of $size KB"
    return 0
  fi
  if mount -t tmpfs -o "size=${size}k" tmpfs "$dir" 2>/dev/null; then
    mounted+=("$dir")
    echo "small_drives: $dir is a tmpfs of $size KB"
    return 0
  fi
  return 1
}

# A drive letter that the prefix does not use yet.
free_letter() {
  local letter
  for letter in s t u v w x y; do
    if [ ! -e "$dosdevices/$letter:" ] && [ ! -L "$dosdevices/$letter:" ]; then echo "$letter"; return 0; fi
  done
  return 1
}

if [ "$(id -u)" != 0 ]; then
  echo "small_drives: skipped: mounting a drive needs root, and this runs as $(id -un)"
  exit $skip
fi
[ -d "$dosdevices" ] || { echo "small_drives: no prefix in $build (the wine session makes it)" >&2; exit 1; }

payload=${STAMPWELL_PAYLOAD_FOLDER:-}
[ -d "$payload" ] || { echo "small_drives: STAMPWELL_PAYLOAD_FOLDER is not a folder: '$payload'" >&2; exit 1; }
payload_kb=$(du -sk "$payload" | cut -f1)
small_kb=$((payload_kb / 2))
[ "$small_kb" -ge 512 ] || small_kb=512

if ! mount_drive "$work/small" "$small_kb"; then
  echo "small_drives: skipped: neither a loop device nor a tmpfs can be mounted here"
  exit $skip
fi
# Room for the whole payload: the run must meet the drive's refusal to write, not a lack of space.
if ! mount_drive "$work/read-only" $((payload_kb * 2 + 1024)); then
  echo "small_drives: skipped: the second drive cannot be mounted"
  exit $skip
fi
mkdir -p "$work/read-only/Quendra Soft/Quendra Stampwell"
if ! mount -o remount,ro "$work/read-only" 2>/dev/null; then
  echo "small_drives: skipped: the drive cannot be made read-only"
  exit $skip
fi

small=$(free_letter) && ln -s "$work/small" "$dosdevices/$small:" && links+=("$dosdevices/$small:")
read_only=$(free_letter) && ln -s "$work/read-only" "$dosdevices/$read_only:" && links+=("$dosdevices/$read_only:")
[ ${#links[@]} = 2 ] || { echo "small_drives: no free drive letter in the prefix" >&2; exit 1; }
echo "small_drives: payload $payload_kb KB; ${small^^}: small, ${read_only^^}: read-only"

STAMPWELL_SMALL_DRIVE="${small^^}:" STAMPWELL_READ_ONLY_DRIVE="${read_only^^}:" \
  "$runner" --build-dir "$build" "$program" --gtest_color=no \
  --gtest_filter='InstallRunFailure.FullDrive*:InstallRunFailure.ReadOnly*'
