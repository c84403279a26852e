#!/usr/bin/env python3
"""The shipped 32-bit setup program driven by clicks where 32-bit code runs only under
user-mode emulation (the 32-bit stage of tools/emulated-32bit-stage.sh):

    drive_emulated.py --build-dir BUILD_WIN32 --probe WINDOW_PROBE_EXE

What a 32-bit process on 64-bit Windows must answer, read from the running program's own window:
Custom Install proposes "C:\\Program Files (x86)\\Quendra Soft" (the 64-bit query said yes and
the architecture suffix was added). Then Back and Quick Install, which installs below the folder
the field now holds, and the whole run is checked as the 64-bit end-to-end test checks it: every
payload file with the payload's bytes, "Uninstall.txt" line by line, the shortcuts, the registry
entry, and the program ending after Finish. The probe is a 64-bit program of build/win64: it runs
at native speed and reads the 32-bit program's windows across processes as any other program would.
"""
import argparse
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from drive_browse import Probe  # noqa: E402
from drive_setup import BACK, CUSTOM_INSTALL, PRODUCT, QUICK_INSTALL, SLOW, Failure, Session  # noqa: E402

EXPECTED_CUSTOM_FOLDER = "C:\\Program Files (x86)\\Quendra Soft"
INSTALL_DIR = EXPECTED_CUSTOM_FOLDER + "\\" + PRODUCT + "\\"


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


def drive(session, probe):
    session.remove_installation(INSTALL_DIR)
    session.no_browser()
    started = time.time()
    session.start()
    print("the wizard appeared after %.0f s" % (time.time() - started), flush=True)
    hwnd = wait(session, "the wizard in the probe's view", lambda: probe.ask("find %s" % PRODUCT), 60)[0].split()[0]
    window = int(hwnd, 0)
    session.screenshot("choice-page")

    session.click(CUSTOM_INSTALL)
    text, _ = wait(session, "the folder page", lambda: folder_field(probe, window), 60 * SLOW)
    session.screenshot("folder-page")
    session.expect(text == EXPECTED_CUSTOM_FOLDER,
                   "Custom Install proposes %r, not %r (a 32-bit process on 64-bit Windows)" %
                   (text, EXPECTED_CUSTOM_FOLDER))

    session.click(BACK)
    wait(session, "the choice page again", lambda: not (folder_field(probe, window) or ("", True))[1], 60 * SLOW)
    click = time.time()
    session.click(QUICK_INSTALL, settle=0.3)
    session.screenshot("progress-page")
    session.finish(INSTALL_DIR, "the installation did not finish")
    print("Quick Install: Finish clicked and every check made %.0f s after the click" % (time.time() - click),
          flush=True)


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
        session.remove_installation(INSTALL_DIR)
    if session.failures:
        print("%d check(s) failed" % len(session.failures))
        return 1
    print("the shipped 32-bit program under emulation: every check passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
