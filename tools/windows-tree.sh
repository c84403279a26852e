#!/usr/bin/env bash
# Prints which Windows build tree this machine can test: "win32" (the shipped 32-bit program,
# run under WOW64 in a 64-bit Wine prefix) where the kernel runs 32-bit code itself, else
# "win64" (the same sources built as 64-bit programs, run by 64-bit Wine). Where 32-bit code
# runs only under user-mode emulation, the shipped program still runs, in the 32-bit stage of
# `make test` (tools/emulated-32bit-stage.sh); tools/x86_32_support.py tells the cases apart.
# STAMPWELL_WINDOWS_TREE=win32|win64 overrides the choice.
set -u
if [ -n "${STAMPWELL_WINDOWS_TREE:-}" ]; then echo "$STAMPWELL_WINDOWS_TREE"; exit 0; fi
if [ "$(python3 "$(dirname "$0")/x86_32_support.py")" = native ]; then
  echo win32
else
  echo win64
fi
