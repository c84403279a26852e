"""The end-to-end drivers' side of the window probe (window_probe.cpp): the probe kept
running, one command a line, and the windows that it lists."""
import os
import select
import subprocess
import time


class Failure(Exception):
    pass


class Probe:
    """The window probe, kept running: one command a line, answers ending in "end"."""

    def __init__(self, session, exe):
        self.process = subprocess.Popen([session.loader(), exe], env=session.env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.buffer = b""

    def ask(self, command, seconds=20):
        self.process.stdin.write((command + "\n").encode("latin-1"))
        self.process.stdin.flush()
        lines = []
        deadline = time.time() + seconds
        while True:
            while b"\n" in self.buffer:
                line, self.buffer = self.buffer.split(b"\n", 1)
                text = line.decode("latin-1").rstrip("\r")
                if text == "end":
                    return lines
                lines.append(text)
            remaining = deadline - time.time()
            if remaining <= 0:
                raise Failure("the window probe did not answer " + command)
            ready, _, _ = select.select([self.process.stdout], [], [], remaining)
            if ready:
                chunk = os.read(self.process.stdout.fileno(), 65536)
                if not chunk:
                    raise Failure("the window probe ended")
                self.buffer += chunk

    def stop(self):
        if self.process.poll() is None:
            try:
                self.process.stdin.write(b"quit\n")
                self.process.stdin.flush()
                self.process.wait(timeout=5)
            except (OSError, subprocess.TimeoutExpired):
                self.process.kill()


class Child:
    def __init__(self, line):
        hwnd, self.cls, self.text, rect, flags = line.split("\t")
        self.hwnd = hwnd
        self.rect = [int(v) for v in rect.split()]
        self.visible, self.enabled, self.focused = (v == "1" for v in flags.split())

    def centre(self):
        return ((self.rect[0] + self.rect[2]) // 2, (self.rect[1] + self.rect[3]) // 2)
