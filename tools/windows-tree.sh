#!/usr/bin/env bash
# Prints which Windows build tree this machine can test: "win32" (the shipped 32-bit program,
# run under WOW64 in a 64-bit Wine prefix) where the machine runs 32-bit code, else "win64"
# (the same sources built as 64-bit programs, run by 64-bit Wine). Some virtual machines run
# no 32-bit code at all: there the 32-bit Wine loader fails with "Exec format error".
# STAMPWELL_WINDOWS_TREE=win32|win64 overrides the choice.
set -u
if [ -n "${STAMPWELL_WINDOWS_TREE:-}" ]; then echo "$STAMPWELL_WINDOWS_TREE"; exit 0; fi
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo win32
else
  echo win64
fi
