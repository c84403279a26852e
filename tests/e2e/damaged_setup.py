#!/usr/bin/env python3
"""A damaged download, by clicks: a copy of the built setup program with one byte changed
inside a payload resource (a picture of the payload, found by its bytes). Quick Install must
show the message that the setup file is damaged and make nothing: no installation folder,
no log, no shortcut, no registry entry.

    damaged_setup.py --build-dir DIR [--probe PATH/window_probe.exe]

Exit code 0 when every check passed; screenshots go to DIR/artifacts/e2e-damaged-*.png.
"""
import argparse
import os
import shutil
import sys
import time

import drive_setup

COPY_NAME = "DamagedSetup.exe"


def damaged_copy(build):
    with open(os.path.join(build, "StampwellSetup.exe"), "rb") as f:
        program = bytearray(f.read())
    with open(os.path.join(build, "payload-demo", "Example", "Protection", "19.png"), "rb") as f:
        entry = f.read()
    at = program.find(entry)
    if at < 0:
        raise drive_setup.Failure("the payload entry's bytes are not in the setup program")
    program[at + len(entry) // 2] ^= 0x20
    folder = os.path.join(build, "damaged-setup")
    os.makedirs(folder, exist_ok=True)
    copy = os.path.join(folder, COPY_NAME)
    with open(copy, "wb") as f:
        f.write(program)
    return copy


def message_boxes(session):
    """The setup program's visible message boxes."""
    return [fields[0] for fields in (line.split("\t") for line in session.probe.ask("windows " + session.pid))
            if fields[1] == "#32770"]


def run(session):
    session.exe = damaged_copy(session.build)
    install_dir = drive_setup.default_install_dir(session)
    session.remove_installation(install_dir)
    session.no_browser()
    unix_dir = session.unix_path(install_dir)
    publisher = os.path.dirname(unix_dir.rstrip("/"))
    publisher_before = os.path.exists(publisher)
    session.start()
    try:
        session.screenshot("choice-page")
        # The message box, captioned with the product's name too: a second window of the program.
        box = session.click(drive_setup.QUICK_INSTALL, "the message after Quick Install",
                            lambda: (lambda found: len(found) == 1 and found[0])(message_boxes(session)))
        session.wait("the message painted", lambda: session.painted(box))
        session.screenshot("damaged-message")
        session.expect(not os.path.exists(unix_dir), "the installation folder was made")
        session.expect(os.path.exists(publisher) == publisher_before, "the publisher folder was made")
        ok = session.wait("the message's OK button", lambda: session.child(box, "Button", "OK"))
        session.run("xdotool", "mousemove", "--sync", *(str(v) for v in ok.centre()))
        time.sleep(0.2)  # the hand comes to rest before it presses
        session.run("xdotool", "click", "1")
        session.wait("the message to close", lambda: not message_boxes(session), 10)
        session.screenshot("after-message")
        session.expect(not os.path.exists(os.path.join(unix_dir, "Uninstall.txt")), "a log was written")
        query = session.wine("reg", "query", drive_setup.KEY, check=False)
        session.expect("DisplayName" not in query, "a registry entry was written")
        for desktop in session.desktops():
            session.expect(not os.path.lexists(os.path.join(desktop, drive_setup.PRODUCT + ".lnk")),
                           "a desktop shortcut was made")
    finally:
        session.wine("taskkill", "/f", "/im", COPY_NAME, check=False)
        session.wait_for_exit(20)
        session.stop()
        session.remove_installation(install_dir)
        shutil.rmtree(os.path.join(session.build, "damaged-setup"), ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--probe")
    args = parser.parse_args()
    session = drive_setup.Session(args.build_dir, "damaged", probe=args.probe)
    try:
        run(session)
    except drive_setup.Failure as failure:
        session.failures.append(str(failure))
        print("FAILED: %s" % failure, flush=True)
    finally:
        session.close()
    if session.failures:
        print("%d check(s) failed" % len(session.failures))
        return 1
    print("damaged setup: refused, nothing made; every check passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
