#!/usr/bin/env python3
"""Second runs of the real setup program under Wine, driven by clicks as a person would:

    drive_update.py --build-dir DIR --probe PROBE product-running
        Quick Install; a change of the user's to an installed file; the installed product
        started; the setup started again, Quick Install: the question names the running
        product and nothing of the installation has changed; the product closed, Retry: the
        whole installation is there again, the changed file replaced.
    drive_update.py --build-dir DIR --probe PROBE failure-at-entry-100
        Quick Install into a folder where a folder stands in the way of entry 100, beside a
        file of the user's: the installation error, and the folder exactly as it was before.
    drive_update.py --build-dir DIR --probe PROBE unfinished-update
        Quick Install; then what an update ended from outside leaves (a file of the user's
        moved aside and the new one in its place, a file made, the journal and the value that
        names it); the setup started again: by the time its wizard shows, the installation
        is as it was before that update.
    drive_update.py --build-dir DIR --probe PROBE second-start
        The setup started while its wizard shows: the second start ends by itself and one
        wizard is left.

The probe (window_probe.cpp) tells the wizard, the product's window and the message box
apart (all three are captioned with the product's name) and reads the box's text, so every
step waits for a state it can read. Screenshots go to DIR/artifacts/e2e-<scenario>-*.png.
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from drive_browse import BrowseDriver, run_with_probe  # noqa: E402
from drive_setup import KEY, PRODUCT, QUICK_INSTALL, SLOW, Failure, default_install_dir  # noqa: E402

WIZARD_CLASS = "StampwellWindow"
BOX_CLASS = "#32770"
# The exit code of a second start, ERROR_INSTALL_ALREADY_RUNNING; Wine hands the Unix side
# only its low eight bits.
ALREADY_RUNNING = 1618 % 256


def windows_of_class(d, cls):
    """Visible top-level windows captioned with the product's name whose class is `cls`:
    [(hwnd, pid)]."""
    found = []
    for line in d.probe.ask("find " + PRODUCT):
        hwnd, pid = line.split()
        for window in d.probe.ask("windows " + pid):
            fields = window.split("\t")
            if fields[0] == hwnd and fields[1] == cls:
                found.append((hwnd, pid))
    return found


def start_setup(session, d):
    """Starts the setup program and waits for its wizard, told apart from the product's window."""
    session.output = open(os.path.join(session.artifacts, "e2e-%s-program.log" % session.scenario), "wb")
    before = set(windows_of_class(d, WIZARD_CLASS))
    session.process = subprocess.Popen(session.runner + [session.exe], env=session.env,
                                       stdout=session.output, stderr=subprocess.STDOUT)
    fresh = d.wait("the wizard", lambda: [w for w in windows_of_class(d, WIZARD_CLASS) if w not in before], 60 * SLOW)
    d.wizard, d.pid = session.wizard, session.pid = fresh[0]
    # The wizard's place from the probe: the product's window has the same caption.
    session.origin = lambda: tuple(d.outer_rect(d.wizard)[0][:2])
    d.wait("the wizard's first paint", lambda: session.painted(d.wizard))


def installed_files(unix_dir):
    files = {}
    for root, _, names in os.walk(unix_dir):
        for name in names:
            path = os.path.join(root, name)
            with open(path, "rb") as f:
                files[os.path.relpath(path, unix_dir)] = f.read()
    return files


def finish_update(session, install_dir):
    session.end_on_finish_page(seconds=90 * SLOW)
    session.check_installation(install_dir)


def product_running(session, probe):
    d = BrowseDriver(session, probe)
    install_dir = default_install_dir(session)
    unix_dir = None
    product = None
    session.remove_installation(install_dir)
    session.no_browser()
    try:
        start_setup(session, d)
        session.click(QUICK_INSTALL)
        finish_update(session, install_dir)
        session.process = None  # ended after Finish; the waits below are for other programs
        unix_dir = session.unix_path(install_dir)

        with open(os.path.join(unix_dir, "Help.CHM"), "wb") as f:
            f.write(b"changed by the user")
        before = installed_files(unix_dir)
        product = subprocess.Popen(session.runner + [os.path.join(unix_dir, "Stampwell.exe")],
                                   env=session.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        d.wait("the product's window", lambda: windows_of_class(d, "QuendraStampwellDemo"), 60 * SLOW)

        start_setup(session, d)
        session.click(QUICK_INSTALL)
        box = d.wait("the question that the product runs", lambda: windows_of_class(d, BOX_CLASS), 60 * SLOW)[0][0]
        session.screenshot("product-running-question")
        texts = [c.text for c in d.children(box) if c.cls == "Static"]
        session.expect(any(t.startswith(PRODUCT + " is running:") and install_dir + "Stampwell.exe" in t for t in texts),
                       "the question does not name the running product: %r" % texts)
        session.expect(installed_files(unix_dir) == before, "the installation changed before the question was answered")

        # The runner passes the termination on to the product, which then ends.
        product.terminate()
        product.wait(timeout=30 * SLOW)
        retry = d.wait("the Retry button", lambda: d.child(box, "Button", "&Retry"))
        d.click_at(retry.centre())
        finish_update(session, install_dir)
    finally:
        if product and product.poll() is None:
            product.kill()
        session.stop()
        session.remove_installation(install_dir)


def failure_at_entry_100(session, probe):
    d = BrowseDriver(session, probe)
    install_dir = default_install_dir(session)
    session.remove_installation(install_dir)
    session.no_browser()
    unix_dir = session.unix_path(install_dir)
    publisher = os.path.dirname(unix_dir.rstrip("/"))
    with open(os.path.join(session.root, "resources", "payload", "manifest.txt")) as f:
        entry_100 = [line.strip() for line in f if line.strip()][99]
    os.makedirs(os.path.join(unix_dir, *entry_100.split("\\")))
    with open(os.path.join(unix_dir, "notes.txt"), "w") as f:
        f.write("the user's own")
    before = installed_files(publisher), sorted(r for r, _, _ in os.walk(publisher))
    try:
        start_setup(session, d)
        session.click(QUICK_INSTALL)
        box = d.wait("the installation error", lambda: windows_of_class(d, BOX_CLASS), 90 * SLOW)[0][0]
        session.screenshot("installation-error")
        texts = [c.text for c in d.children(box) if c.cls == "Static"]
        session.expect(any(t.startswith("An installation error has occurred.") for t in texts),
                       "not the installation error: %r" % texts)
        after = installed_files(publisher), sorted(r for r, _, _ in os.walk(publisher))
        session.expect(after == before, "the folder is not as it was: %r" % sorted(
            set(after[0]) ^ set(before[0]) | set(after[1]) ^ set(before[1])))
        d.click_at(d.wait("the OK button", lambda: d.child(box, "Button", "OK")).centre())
        d.wait("the folder page", d.folder_field)
        session.expect("REG_SZ" not in session.wine("reg", "query", KEY, check=False), "a registry entry was written")
    finally:
        session.stop()
        session.remove_installation(install_dir)


JOURNAL_KEY = r"HKCU\Software\Quendra Soft\Quendra Stampwell Setup"


def unfinished_update(session, probe):
    d = BrowseDriver(session, probe)
    install_dir = default_install_dir(session)
    session.remove_installation(install_dir)
    session.no_browser()
    try:
        start_setup(session, d)
        session.click(QUICK_INSTALL)
        finish_update(session, install_dir)
        session.process = None
        unix_dir = session.unix_path(install_dir)
        with open(os.path.join(unix_dir, "Help.CHM"), "wb") as f:
            f.write(b"changed by the user")
        publisher = os.path.dirname(unix_dir.rstrip("/"))
        before = installed_files(publisher)

        # What the update had done when it was ended: Help.CHM moved aside and the new one
        # written, a file of its own made, each written in the journal before it was done.
        help_file = install_dir + "Help.CHM"
        os.rename(os.path.join(unix_dir, "Help.CHM"), os.path.join(unix_dir, "Help.CHM.setup-old"))
        with open(os.path.join(unix_dir, "Help.CHM"), "wb") as f:
            f.write(b"the update's")
        with open(os.path.join(unix_dir, "Data", "new.dll"), "wb") as f:
            f.write(b"made by the update")
        journal = install_dir.rstrip("\\") + ".setup-journal"
        with open(session.unix_path(journal), "wb") as f:
            f.write(("Quendra Stampwell setup journal 1\r\nmoved\t%s\t%s.setup-old\r\nfile\t%sData\\new.dll\r\n"
                     % (help_file, help_file, install_dir)).encode("latin-1"))
        session.wine("reg", "add", JOURNAL_KEY, "/v", "UnfinishedRun", "/d", journal, "/f")

        start_setup(session, d)
        session.screenshot("wizard-after-undo")
        session.expect(installed_files(publisher) == before, "the unfinished update was not taken back: %r" % sorted(
            set(installed_files(publisher)) ^ set(before)))
        session.expect(not os.path.exists(session.unix_path(journal)), "the journal is left")
        session.expect("UnfinishedRun" not in session.wine("reg", "query", JOURNAL_KEY, check=False),
                       "the value that names the journal is left")
    finally:
        session.stop()
        session.remove_installation(install_dir)
        session.wine("reg", "delete", JOURNAL_KEY, "/f", check=False)


def second_start(session, probe):
    d = BrowseDriver(session, probe)
    session.no_browser()
    try:
        start_setup(session, d)
        second = subprocess.Popen(session.runner + [session.exe], env=session.env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            code = second.wait(timeout=60 * SLOW)
        except subprocess.TimeoutExpired:
            second.kill()
            raise Failure("the second start did not end by itself")
        session.expect(code == ALREADY_RUNNING, "the second start ended with %d, not %d" % (code, ALREADY_RUNNING))
        session.screenshot("after-second-start")
        wizards = windows_of_class(d, WIZARD_CLASS)
        session.expect(wizards == [(d.wizard, d.pid)], "wizards after a second start: %r" % wizards)
        session.expect(session.process.poll() is None, "the first setup ended")
    finally:
        session.stop()


SCENARIOS = {"product-running": product_running, "failure-at-entry-100": failure_at_entry_100,
             "unfinished-update": unfinished_update, "second-start": second_start}

if __name__ == "__main__":
    scenario = sys.argv.pop()
    if scenario not in SCENARIOS:
        sys.exit("scenario: one of " + ", ".join(SCENARIOS))
    sys.exit(run_with_probe(scenario, SCENARIOS[scenario], scenario))
