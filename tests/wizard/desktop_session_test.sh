#!/usr/bin/env bash
# The session's desktop and its shell outlive the shell's own worker threads.
#
# A program that the shell starts leaves threads in the shell's process that end some seconds
# later, when no test may be running. The session must keep its desktop (and so the shell, its
# windows list and the shared X windows that every program's windows rely on) through that:
# a program started earlier would otherwise lose them in the middle of its run.
#   desktop_session_test.sh BUILD_DIR WINE_RUN SHELL_CALL_EXE
set -u
build=$(cd "$1" && pwd)
wine_run=$2
shell_call=$3
prefix="$build/wineprefix"
# Any program that ends at once will do; the shell's threads are the same for a web page.
started='C:\windows\system32\hostname.exe'

# The desktop shell of this build tree's prefix (other trees' sessions may run beside it).
session_shell() {
  local pid
  for pid in $(pgrep -f 'explorer\.exe /desktop'); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$prefix" && { echo "$pid"; return 0; }
  done
  return 1
}
threads() { ls "/proc/$1/task" 2>/dev/null | wc -l; }

# The shell that the session's start brought up, once its thread count has settled.
shell=""
for _ in $(seq 1 40); do shell=$(session_shell) && break; sleep 0.5; done
[ -n "$shell" ] || { echo "FAILED: the session has no desktop shell process"; exit 1; }
at_rest=$(threads "$shell")
for _ in $(seq 1 20); do
  sleep 1
  now=$(threads "$shell")
  [ "$now" = "$at_rest" ] && break
  at_rest=$now
done

"$wine_run" --build-dir "$build" "$shell_call" "$started" || { echo "FAILED: the desktop's shell did not take a first call"; exit 1; }
# Wait for the shell's threads from the call to end, then past the second after which Wine
# closes a desktop that it takes as unused.
for _ in $(seq 1 60); do
  [ -d "/proc/$shell" ] && [ "$(threads "$shell")" -gt "$at_rest" ] || break
  sleep 0.5
done
sleep 3
if [ ! -d "/proc/$shell" ]; then
  echo "FAILED: the desktop's shell (process $shell) quit once the threads of a call into it had ended"
  exit 1
fi
"$wine_run" --build-dir "$build" "$shell_call" "$started" || { echo "FAILED: the desktop's shell no longer answers"; exit 1; }
echo "desktop_session_test: the desktop's shell (process $shell) kept its desktop after its call threads ended"
