#!/usr/bin/env bash
# The 32-bit stage, for machines whose kernel does not run 32-bit code: runs the shipped
# 32-bit program and the 32-bit callback test of build/win32 under Debian's qemu-user (10 or
# later; STAMPWELL_QEMU_I386 names another build of it).
#
#   emulated-32bit-stage.sh [BUILD_DIR]                 the stage (default build/win32, built)
#   emulated-32bit-stage.sh BUILD_DIR -- COMMAND [ARGS]  COMMAND instead, in the stage's setting
#
# Wine's 32-bit loader is a 32-bit Linux program, and Wine starts it again for every 32-bit
# Windows process, so the emulator must be registered with binfmt_misc. It is registered under
# a name of this run only, for this stage only, and removed again when the stage ends, on
# failure and on interruption too; binfmt_misc is mounted only if it was not, and unmounted
# again then. Entries registered by others are left as they are: the newest registration is
# tried first, so ours is the one that runs while it exists.
#
# Everything of Wine's that is a 64-bit program (wineserver, the prefix's services, reg.exe,
# winepath) keeps running natively through the 64-bit loader; only 32-bit processes are emulated.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build/win32}" && pwd)
shift $(( $# > 0 ? 1 : 0 ))
[ "${1:-}" = "--" ] && shift
command=("$@")
emulator=${STAMPWELL_QEMU_I386:-/usr/bin/qemu-i386}
binfmt=/proc/sys/fs/binfmt_misc
name="stampwell-i386-$$"
mounted_here=0
registered=0
session_started=0

say() { echo "32-bit stage: $*"; }

finish() {
  local rc=$?
  trap - EXIT INT TERM HUP
  if [ $session_started = 1 ]; then
    "$here/wine-run.sh" --build-dir "$build" --stop
  fi
  if [ $registered = 1 ] && [ -e "$binfmt/$name" ]; then
    echo -1 >"$binfmt/$name" || say "could not remove the registration $binfmt/$name"
  fi
  if [ $mounted_here = 1 ]; then
    umount "$binfmt" || say "could not unmount $binfmt"
  fi
  exit $rc
}
trap finish EXIT
trap 'say "interrupted"; exit 130' INT
trap 'say "terminated"; exit 143' TERM HUP

[ -x "$emulator" ] || { say "$emulator is missing (tools/bootstrap.sh installs qemu-user)"; exit 1; }
# Under qemu 7.2 (Debian 12's own) Wine's 32-bit side dies in its signal handling part-way
# through a run; qemu 10 carries it through every step here.
emulator_version=$("$emulator" --version | sed -n '1s/.*version \([0-9]*\).*/\1/p')
if [ "${emulator_version:-0}" -lt 10 ]; then
  say "$emulator is qemu ${emulator_version:-of an unknown version}; the stage needs qemu 10 or later (tools/bootstrap.sh installs it)"
  exit 1
fi
[ -f "$build/StampwellSetup.exe" ] || { say "$build/StampwellSetup.exe is missing"; exit 1; }

# A registration left by a run of this stage that was killed outright: its process is gone.
register_stale() {
  local entry pid
  for entry in "$binfmt"/stampwell-i386-*; do
    [ -e "$entry" ] || continue
    pid=${entry##*-}
    kill -0 "$pid" 2>/dev/null || echo -1 >"$entry"
  done
}

# Since Linux 6.7 each user namespace can mount a binfmt_misc of its own: registered there, the
# emulator serves this stage's processes only and goes when they end, however they end. Older
# kernels share one binfmt_misc: the registration is then removed by the trap above.
if [ "${STAMPWELL_STAGE_NAMESPACE:-}" != 1 ] &&
   unshare --user --map-root-user --mount --fork true 2>/dev/null &&
   unshare --user --map-root-user --mount --fork mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null; then
  say "running in a user namespace with a binfmt_misc of its own"
  trap - EXIT INT TERM HUP
  STAMPWELL_STAGE_NAMESPACE=1 exec unshare --user --map-root-user --mount --fork -- "$0" "$build" -- "${command[@]}"
fi
if [ "${STAMPWELL_STAGE_NAMESPACE:-}" = 1 ]; then
  mount -t binfmt_misc binfmt_misc "$binfmt" || { say "cannot mount binfmt_misc in the namespace"; exit 1; }
else
  if [ ! -e "$binfmt/register" ]; then
    mount -t binfmt_misc binfmt_misc "$binfmt" || { say "cannot mount binfmt_misc"; exit 1; }
    mounted_here=1
  fi
  register_stale
fi
# ELF, 32-bit, little-endian, executable or shared object, i386: the loader and its helpers.
# Flag F opens the emulator now, so the registration does not depend on the path later.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
echo ":$name:M::$magic:$mask:$emulator:F" >"$binfmt/register" || { say "cannot register $emulator"; exit 1; }
registered=1
say "registered $emulator as $name for this stage; 32-bit code now runs: $(python3 "$here/x86_32_support.py")"

stage_start=$SECONDS
# A prefix made here has the 32-bit half (the 32-bit registrations) that a prefix made without
# the emulator lacks: the stage keeps its own.
# The keeper and the probe are 64-bit programs of build/win64: they run natively.
win64=$build/../win64
"$here/wine-run.sh" --build-dir "$build" --start --keep-desktop "$win64/desktop_keeper.exe" ||
  { say "could not start the Wine session"; exit 1; }
session_started=1
say "Wine session and prefix ready after $((SECONDS - stage_start)) s"

if [ ${#command[@]} -gt 0 ]; then
  "${command[@]}"
  exit $?
fi

failed=0
step() {
  local what=$1; shift
  local start=$SECONDS
  say "$what ..."
  # A step that hangs under the emulator fails here rather than holding up the whole run.
  if timeout --kill-after=30 300 "$@"; then
    say "$what: passed in $((SECONDS - start)) s"
  else
    say "$what: FAILED after $((SECONDS - start)) s"
    failed=1
  fi
}

probe=${STAMPWELL_WINDOW_PROBE:-$win64/tests/e2e/window_probe.exe}
step "the shipped setup program by clicks: WOW64 default folder, a whole Quick Install" \
  env STAMPWELL_EMULATED=1 python3 "$here/../tests/e2e/drive_emulated.py" --build-dir "$build" --probe "$probe"
# Window procedures with the enumeration callbacks of a modal loop and a menu, the tree's sort
# callback, the thread procedures of the workers, the device-change window, OLE's calls into our
# COM objects (clipboard and drag loop), and the looked-up functions with the WOW64 answers.
step "the 32-bit callback test" \
  "$here/wine-run.sh" --build-dir "$build" "$build/tests/callbacks/callback_abi_test.exe" --gtest_color=no
say "took $((SECONDS - stage_start)) s in all"
[ $failed = 0 ]
