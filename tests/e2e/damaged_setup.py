#!/usr/bin/env python3
"""A damaged download, by clicks: a copy of the built setup program with one byte changed
inside a payload resource (a picture of the payload, found by its bytes). Quick Install must
show the message that the setup file is damaged and make nothing: no installation folder,
no log, no shortcut, no registry entry.

    damaged_setup.py --build-dir DIR

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


def visible_windows(session):
    return session.run("xdotool", "search", "--onlyvisible", "--name", "^%s$" % drive_setup.PRODUCT,
                       check=False).split()


def click_ok(session, box):
    """The box's one button, centred near its bottom edge (no window manager gives it the
    keyboard focus on the test's screen)."""
    geometry = session.run("xdotool", "getwindowgeometry", "--shell", box)
    values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
    x = int(values["X"]) + int(values["WIDTH"]) // 2
    y = int(values["Y"]) + int(values["HEIGHT"]) - 26
    session.run("xdotool", "mousemove", "--sync", str(x), str(y))
    time.sleep(0.2)
    session.run("xdotool", "click", "1")


def run(session):
    copy = damaged_copy(session.build)
    install_dir = drive_setup.default_install_dir(session)
    session.remove_installation(install_dir)
    session.no_browser()
    unix_dir = session.unix_path(install_dir)
    publisher = os.path.dirname(unix_dir.rstrip("/"))
    publisher_before = os.path.exists(publisher)
    session.process = drive_setup.subprocess.Popen(session.runner + [copy],
                                                   env=session.env, stdout=drive_setup.subprocess.DEVNULL,
                                                   stderr=drive_setup.subprocess.DEVNULL)
    try:
        deadline = time.time() + 60
        while time.time() < deadline and not visible_windows(session):
            time.sleep(0.2)
        found = visible_windows(session)
        if not found:
            raise drive_setup.Failure("the wizard window did not appear")
        session.window = found[0]
        time.sleep(1.5)
        session.screenshot("choice-page")
        session.click(drive_setup.QUICK_INSTALL, settle=0.5)
        # The message box is captioned with the product's name too: a second visible window.
        deadline = time.time() + 30
        while time.time() < deadline and len(visible_windows(session)) < 2:
            time.sleep(0.2)
        boxes = [w for w in visible_windows(session) if w != session.window]
        session.expect(len(boxes) == 1, "no message after Quick Install")
        session.screenshot("damaged-message")
        session.expect(not os.path.exists(unix_dir), "the installation folder was made")
        session.expect(os.path.exists(publisher) == publisher_before, "the publisher folder was made")
        if boxes:
            click_ok(session, boxes[0])
        deadline = time.time() + 10
        while time.time() < deadline and len(visible_windows(session)) > 1:
            time.sleep(0.2)
        session.screenshot("after-message")
        session.expect(len(visible_windows(session)) == 1, "the message did not close")
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
    args = parser.parse_args()
    session = drive_setup.Session(args.build_dir, "damaged")
    try:
        run(session)
    except drive_setup.Failure as failure:
        session.failures.append(str(failure))
        print("FAILED: %s" % failure, flush=True)
    if session.failures:
        print("%d check(s) failed" % len(session.failures))
        return 1
    print("damaged setup: refused, nothing made; every check passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
