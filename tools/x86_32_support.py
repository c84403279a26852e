#!/usr/bin/env python3
"""Tells how this machine runs 32-bit x86 Linux code, which is what Wine's 32-bit loader is:

    native     the kernel runs it itself
    emulated   the kernel does not, but Debian's qemu-user can, as a user-mode emulator
    none       neither

It runs a probe: a 100-byte i386 program made here that writes one byte, waits for its
standard input to close and exits. Asking the kernel whether a 32-bit program "ran" is not
enough: an emulator registered with binfmt_misc (by hand, or by a package) makes the kernel
start the emulator in its place, and the program runs all the same. So while the probe waits,
/proc/PID/exe tells who really runs it: the probe itself only where the kernel runs 32-bit code.

With --why, a second line says what was seen.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

BASE = 0x08048000
# The 32-bit stage's emulator (tools/emulated-32bit-stage.sh), which may name another build of it.
EMULATOR = os.environ.get("STAMPWELL_QEMU_I386", "/usr/bin/qemu-i386")


def probe_program():
    """An ELF32 executable: write(1, &byte, 1); read(0, &byte, 1); exit(0)."""
    header_size, segment_size = 52, 32
    code_at = header_size + segment_size
    byte_at = BASE + code_at + 48  # a spare byte after the code, inside the segment
    code = b"".join([
        b"\xb8" + struct.pack("<I", 4),        # mov eax, write
        b"\xbb" + struct.pack("<I", 1),        # mov ebx, 1
        b"\xb9" + struct.pack("<I", byte_at),  # mov ecx, &byte
        b"\xba" + struct.pack("<I", 1),        # mov edx, 1
        b"\xcd\x80",                           # int 0x80
        b"\xb8" + struct.pack("<I", 3),        # mov eax, read
        b"\x31\xdb",                           # xor ebx, ebx
        b"\xcd\x80",                           # int 0x80 (ecx, edx kept)
        b"\xb8" + struct.pack("<I", 1),        # mov eax, exit
        b"\x31\xdb",                           # xor ebx, ebx
        b"\xcd\x80",                           # int 0x80
    ])
    code = code.ljust(48, b"\x90") + b"!"
    size = code_at + len(code)
    elf = b"\x7fELF" + bytes([1, 1, 1, 0]) + bytes(8)
    elf += struct.pack("<HHIIIIIHHHHHH", 2, 3, 1, BASE + code_at, header_size, 0, 0,
                       header_size, segment_size, 1, 0, 0, 0)
    elf += struct.pack("<IIIIIIII", 1, 0, BASE, BASE, size, size, 7, 0x1000)
    return elf + code


def run_probe(command):
    """Starts the probe; answers (ran, the real executable of the running process)."""
    try:
        process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL)
    except OSError:  # "Exec format error" where nothing runs 32-bit code
        return False, None
    try:
        first = process.stdout.read(1)  # once it has written, the probe's own code runs
        exe = None
        if first == b"!":
            try:
                exe = os.readlink("/proc/%d/exe" % process.pid)
            except OSError:
                pass
        process.stdin.close()
        code = process.wait(timeout=60)
        return first == b"!" and code == 0, exe
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()


def support():
    work = tempfile.mkdtemp(prefix="stampwell-x86-32-")
    try:
        program = os.path.join(work, "probe")
        with open(program, "wb") as f:
            f.write(probe_program())
        os.chmod(program, 0o755)
        ran, exe = run_probe([program])
        if ran and exe and os.path.realpath(exe) == os.path.realpath(program):
            return "native", "the kernel runs 32-bit programs itself"
        seen = ("a 32-bit program ran through %s, not by the kernel" % exe) if ran else \
            "the kernel does not start 32-bit programs"
        if os.access(EMULATOR, os.X_OK):
            ran, _ = run_probe([EMULATOR, program])
            if ran:
                return "emulated", seen + "; %s runs them" % EMULATOR
            return "none", seen + "; %s is there but failed" % EMULATOR
        return "none", seen + "; no user-mode emulator (%s) is installed" % EMULATOR
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    answer, why = support()
    print(answer)
    if "--why" in sys.argv[1:]:
        print(why)
    return 0


if __name__ == "__main__":
    sys.exit(main())
