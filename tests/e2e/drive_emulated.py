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
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from drive_browse import BrowseDriver, run_with_probe  # noqa: E402
from drive_setup import BACK, CUSTOM_INSTALL, PRODUCT, QUICK_INSTALL, SLOW  # noqa: E402

EXPECTED_CUSTOM_FOLDER = "C:\\Program Files (x86)\\Quendra Soft"
INSTALL_DIR = EXPECTED_CUSTOM_FOLDER + "\\" + PRODUCT + "\\"


def drive(session, probe):
    d = BrowseDriver(session, probe)
    session.remove_installation(INSTALL_DIR)
    session.no_browser()
    try:
        started = time.time()
        d.start()
        print("the wizard appeared after %.0f s" % (time.time() - started), flush=True)
        session.screenshot("choice-page")

        session.click(CUSTOM_INSTALL)
        text = d.wait("the folder page", d.folder_field, 60 * SLOW)
        session.screenshot("folder-page")
        session.expect(text == EXPECTED_CUSTOM_FOLDER,
                       "Custom Install proposes %r, not %r (a 32-bit process on 64-bit Windows)" %
                       (text, EXPECTED_CUSTOM_FOLDER))

        session.click(BACK)
        d.wait("the choice page again", lambda: d.folder_field() is None, 60 * SLOW)
        click = time.time()
        session.click(QUICK_INSTALL, "the progress page", session.on_page("progress", "finish"))
        session.screenshot("progress-page")
        session.finish(INSTALL_DIR, "the installation did not finish")
        print("Quick Install: Finish clicked and every check made %.0f s after the click" % (time.time() - click),
              flush=True)
    finally:
        session.stop()  # the runner ends the program it started
        session.remove_installation(INSTALL_DIR)


if __name__ == "__main__":
    sys.exit(run_with_probe("emulated", drive, "the shipped 32-bit program under emulation"))
