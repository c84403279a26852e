#!/usr/bin/env bash
# Runs a Windows program under Wine in the isolated prefix of one build tree.
#
#   wine-run.sh --build-dir DIR --start [--keep-desktop KEEPER]
#                                               start the session: Xvfb and a persistent wineserver,
#                                               and KEEPER (tools/desktop_keeper.cpp) holding its desktop
#   wine-run.sh --build-dir DIR --stop          stop what --start started
#   wine-run.sh --build-dir DIR PROGRAM [ARGS]  run PROGRAM; exits with its exit code
#
# CTest uses the last form as the cross-compiling emulator, and the first two as the
# setup and cleanup fixture of every Windows test, so one wineserver and one X server
# serve the whole run. Run on its own, the script starts and stops both around PROGRAM.
#
# The prefix (64-bit, so the 32-bit programs run under WOW64 as on 64-bit Windows) lives
# under the build tree, with a private HOME so that Wine links the desktop and documents
# folders to folders of the build tree, not to the user's own. The display is always a
# private Xvfb of 1024x768x24 (STAMPWELL_SCREEN=WxHxD for another size) so that window
# positions are known, unless STAMPWELL_USE_DISPLAY=1 asks for the caller's DISPLAY.
set -u

build=""
if [ "${1:-}" = "--build-dir" ]; then build=$2; shift 2; fi
[ -n "$build" ] || { echo "wine-run: --build-dir DIR is required" >&2; exit 2; }
build=$(cd "$build" && pwd)

session="$build/wine-session"
export WINEPREFIX="$build/wineprefix"
export HOME="$build/winehome"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
mkdir -p "$HOME" "$session"

# The 64-bit loader starts every program: it runs the prefix's own 64-bit programs itself and
# hands a 32-bit program to the 32-bit loader beside it, which the kernel runs natively or, in
# the 32-bit stage of a machine without 32-bit support, through a registered emulator. Debian's
# "wine" would start the 32-bit loader first, for 64-bit programs too.
wine=/usr/lib/wine/wine64
export WINELOADER=$wine

alive() { [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null; }

# Xvfb picks its display number itself and writes it once it accepts connections: two sessions
# that start at the same moment (a test run and `make run`, or two trees) cannot both take the
# number that looked free, which would leave one of them on the other's screen, stopped with it.
start_xvfb() {
  local numfile n="" pid
  numfile=$(mktemp "${TMPDIR:-/tmp}/stampwell-xvfb.XXXXXX") || return 1
  Xvfb -displayfd 3 -screen 0 "${STAMPWELL_SCREEN:-1024x768x24}" -nolisten tcp -noreset 3>"$numfile" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 200); do
    read -r n <"$numfile" && [ -n "$n" ] && break
    alive "$pid" || break
    sleep 0.05
  done
  rm -f "$numfile"
  if [ -n "$n" ] && alive "$pid"; then echo "$n $pid"; return 0; fi
  kill "$pid" 2>/dev/null
  echo "wine-run: could not start Xvfb" >&2
  return 1
}

# ---- The prefix's fonts ----
# The forms lay their text out in device pixels for Windows' own fonts, so the prefix must
# measure text as Windows does. Wine's own fonts (fonts-wine: Tahoma, which "MS Shell Dlg"
# names, and "MS Sans Serif") are linked into the prefix's Fonts folder: started through the
# loaders in /usr/lib/wine, Wine does not find them in /usr/share/wine/fonts, and every face
# then falls back to the much wider DejaVu Sans. "Microsoft Sans Serif", which the wizard names, is none of
# Wine's fonts; it was drawn to the metrics of the "MS Sans Serif" bitmap font, and Wine's copy
# of that font reproduces the layout to the pixel (the install page's notice measures the 323
# pixels its label was given), where Liberation Sans, the Arial-compatible face, runs wider.
# Only the prefixes get this: the program keeps asking for the faces its forms name. Runs
# while no wineserver serves the prefix (it waits for the server to write the registry).
setup_prefix_fonts() {
  local stamp="$WINEPREFIX/.stampwell-fonts-1" fonts="$WINEPREFIX/drive_c/windows/Fonts"
  [ -f "$stamp" ] && return 0
  mkdir -p "$fonts"
  if [ -d /usr/share/wine/fonts ]; then ln -sf /usr/share/wine/fonts/* "$fonts/"; fi
  "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v 'Microsoft Sans Serif' /d 'MS Sans Serif' /f </dev/null >/dev/null 2>&1 || return 0
  wineserver -w </dev/null >/dev/null 2>&1
  touch "$stamp"
}

# Wine hands every shortcut that a program saves, and every association change it announces,
# to its desktop-integration helper, a process of its own. WINEDLLOVERRIDES keeps the helper
# from doing anything, but the process is still started: some 30 ms per shortcut, which
# Windows does not spend and which the figures of the benchmarks would otherwise carry.
# Without the helper's file the start fails at once and nothing else changes.
remove_desktop_helper() {
  rm -f "$WINEPREFIX/drive_c/windows/system32/winemenubuilder.exe" \
        "$WINEPREFIX/drive_c/windows/syswow64/winemenubuilder.exe"
}

ensure_prefix() {
  # One prefix per build tree, made once; the lock keeps parallel tests from racing.
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.stampwell-ready" ]; then
      "$wine" wineboot -i </dev/null >/dev/null 2>&1
      wineserver -w </dev/null >/dev/null 2>&1
      touch "$WINEPREFIX/.stampwell-ready"
    fi
    remove_desktop_helper
    if [ "${1:-}" = --no-server ]; then setup_prefix_fonts; fi
  ) 9>"$build/wineprefix.lock"
}

session_display() {
  local n pid
  [ -f "$session/xvfb" ] || return 1
  read -r n pid <"$session/xvfb"
  alive "$pid" || return 1
  echo ":$n"
}

stop_session() {
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  if [ -f "$session/xvfb" ]; then
    local n pid
    read -r n pid <"$session/xvfb"
    alive "$pid" && kill "$pid"
    rm -f "$session/xvfb"
  fi
}

case "${1:-}" in
  --start)
    stop_session
    xv=$(start_xvfb) || exit 1
    echo "$xv" >"$session/xvfb"
    export DISPLAY=":${xv%% *}"
    ensure_prefix --no-server
    wineserver -p </dev/null >/dev/null 2>&1
    if [ "${2:-}" = --keep-desktop ] && [ -n "${3:-}" ]; then
      # Runs until --stop ends the wineserver; its output goes nowhere, so that CTest does
      # not wait for it.
      "$wine" "$3" </dev/null >/dev/null 2>&1 &
    fi
    exit 0
    ;;
  --stop)
    stop_session
    exit 0
    ;;
  "")
    echo "wine-run: no program given" >&2; exit 2
    ;;
esac

own_session=0
if [ "${STAMPWELL_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
  :
elif d=$(session_display); then
  export DISPLAY=$d
else
  xv=$(start_xvfb) || exit 1
  export DISPLAY=":${xv%% *}"
  own_session=1
  own_xvfb_pid=${xv##* }
fi
if session_display >/dev/null; then ensure_prefix; else ensure_prefix --no-server; fi

# Wine starts its helper processes (services, the desktop window) on demand, and they
# inherit the standard handles of whoever started them. Through a file and tail, a caller
# that reads our output to its end (CTest) never waits for those helpers to exit.
out=$(mktemp "$session/out.XXXXXX")
"$wine" "$@" </dev/null >"$out" 2>&1 &
pid=$!
tail -n +1 -f --pid=$pid "$out" &
tail_pid=$!
# A runner that is told to stop (a test driver giving up) stops the program too, rather than
# leaving it running in the session.
trap 'kill -TERM $pid 2>/dev/null' TERM INT HUP
wait $pid
rc=$?
# Interrupted, the wait above returns early: the program gets its time to go.
while kill -0 $pid 2>/dev/null; do wait $pid; rc=$?; done
trap - TERM INT HUP
wait $tail_pid
rm -f "$out"

if [ $own_session = 1 ]; then
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
  kill "$own_xvfb_pid" 2>/dev/null
fi
exit $rc
