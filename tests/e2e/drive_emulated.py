#!/usr/bin/env python3
"""The shipped 32-bit setup program driven by clicks where 32-bit code runs only under
user-mode emulation (the 32-bit stage of tools/emulated-32bit-stage.sh):

    drive_emulated.py --build-dir BUILD_WIN32 --probe WINDOW_PROBE_EXE

What a 32-bit process on 64-bit Windows must answer, read from the running program's own window:
Custom Install proposes "C:\\Program Files (x86)\\Quendra Soft" (the 64-bit query said yes and
the architecture suffix was added). Then Back and Quick Install, and every payload file must
arrive with the payload's bytes. The probe is a 64-bit program of build/win64: it runs at native
speed and reads the 32-bit program's windows across processes as any other program would.

Left out here, and why: under Debian's qemu-user 7.2, Wine 8's 32-bit side dies in its own
signal handling once the run goes on past the extraction ("qemu: uncaught target signal 11": a
signal arrives inside the handler of another, and ntdll's handler reads its thread block through
the emulated %fs segment and faults). It was seen in the management query of the logged-on user,
in saving the Start Menu shortcuts and in a thread of the change-notification worker, in a
different place each run, never where our code runs; natively the same program completes (the
whole suite runs it on machines with 32-bit support). So this drive ends the program once the
files are checked; the steps after the extraction are checked by the Windows suite.
"""
import argparse
import os
import shutil
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from drive_browse import Probe  # noqa: E402
from drive_setup import BACK, CUSTOM_INSTALL, PRODUCT, QUICK_INSTALL, SLOW, Failure, Session  # noqa: E402

EXPECTED_CUSTOM_FOLDER = "C:\\Program Files (x86)\\Quendra Soft"
QUICK_FOLDER = "C:\\Program Files\\Quendra Soft\\%s\\" % PRODUCT


def wait(session, what, condition, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        value = condition()
        if value:
            return value
        if session.process.poll() is not None:
            raise Failure("the setup program ended while waiting for " + what)
        time.sleep(0.5)
    raise Failure("timed out waiting for " + what)


def folder_field(probe, window):
    """(text, visible) of the wizard's folder field, the one edit control of the wizard that holds
    a folder; None when the page has not made it yet."""
    for line in probe.ask("children %d" % window):
        fields = line.split("\t")
        if len(fields) >= 5 and fields[1].lower() == "edit" and "\\" in fields[2]:
            return fields[2], fields[4].split()[0] == "1"
    return None


def payload_arrived(session, unix_dir, manifest):
    payload = os.path.join(session.build, "payload-demo")
    for entry in manifest:
        installed = os.path.join(unix_dir, *entry.split("\\"))
        source = os.path.join(payload, *entry.split("\\"))
        if not os.path.isfile(installed) or os.path.getsize(installed) != os.path.getsize(source):
            return False
    return True


def drive(session, probe):
    manifest_path = os.path.join(session.root, "resources", "payload", "manifest.txt")
    with open(manifest_path) as f:
        manifest = [line.strip() for line in f if line.strip()]
    session.remove_installation(QUICK_FOLDER)
    session.no_browser()
    started = time.time()
    session.start()
    print("the wizard appeared after %.0f s" % (time.time() - started), flush=True)
    hwnd = wait(session, "the wizard in the probe's view", lambda: probe.ask("find %s" % PRODUCT), 60)[0].split()[0]
    window = int(hwnd, 0)
    session.screenshot("choice-page")

    session.click(CUSTOM_INSTALL)
    text, _ = wait(session, "the folder page", lambda: folder_field(probe, window), 120 * SLOW)
    session.screenshot("folder-page")
    session.expect(text == EXPECTED_CUSTOM_FOLDER,
                   "Custom Install proposes %r, not %r (a 32-bit process on 64-bit Windows)" %
                   (text, EXPECTED_CUSTOM_FOLDER))

    session.click(BACK)
    wait(session, "the choice page again", lambda: not (folder_field(probe, window) or ("", True))[1], 120 * SLOW)
    click = time.time()
    session.click(QUICK_INSTALL)
    unix_dir = session.unix_path(QUICK_FOLDER)
    arrived = wait(session, "every payload file", lambda: payload_arrived(session, unix_dir, manifest), 300 * SLOW)
    print("every payload file arrived %.0f s after the click" % (time.time() - click), flush=True)
    session.screenshot("extracted")
    payload = os.path.join(session.build, "payload-demo")
    for entry in manifest:
        with open(os.path.join(unix_dir, *entry.split("\\")), "rb") as a, \
                open(os.path.join(payload, *entry.split("\\")), "rb") as b:
            session.expect(a.read() == b.read(), "file differs from the payload: " + entry)
    return arrived


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--probe", required=True)
    args = parser.parse_args()
    session = Session(args.build_dir, "emulated")
    probe = Probe(session, args.probe)
    try:
        drive(session, probe)
    except Exception as failure:  # a failed step, or the driver's own fault: reported, never hidden
        session.failures.append(str(failure))
        print("FAILED: %s" % failure, flush=True)
    finally:
        probe.stop()
        session.stop()  # the runner ends the program it started
        session.remove_installation(QUICK_FOLDER)
    if session.failures:
        print("%d check(s) failed" % len(session.failures))
        return 1
    print("the shipped 32-bit program under emulation: every check passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
