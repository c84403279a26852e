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
        Quick Install; a change of the user's to an installed file; the setup started again,
        Quick Install, and its process killed from outside once the update has written files
        in place of the earlier ones, moved aside; the setup started again: by the time its
        wizard shows, the installation is byte for byte as it was before that update, the
        user's own files included, with no moved-aside file and no journal.
    drive_update.py --build-dir DIR --probe PROBE second-start
        The setup started while its wizard shows: the second start ends by itself and one
        wizard is left.

The probe (window_probe.cpp) tells the wizard, the product's window and the message box
apart (all three are captioned with the product's name) and reads the box's text, so every
step waits for a state it can read. Screenshots go to DIR/artifacts/e2e-<scenario>-*.png.
"""
import os
import signal
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
# Moved-aside files that show the update is well under way when it is ended; far fewer than
# the payload's entries, so the run, which pauses after each, cannot finish first.
WRITTEN_BEFORE_THE_KILL = 20


def moved_aside(unix_dir):
    """The earlier files that an update has moved aside: one by one, or with the product's
    folder that holds them, moved whole."""
    return sorted(name for name in installed_names(unix_dir) if ".setup-old" in name)


def written_in_place_of_moved_aside(unix_dir):
    """The files that an update has written into the new "Example" folder while the earlier
    one lies beside it."""
    if not os.path.isdir(os.path.join(unix_dir, "Example.setup-old")):
        return []
    return installed_names(os.path.join(unix_dir, "Example"))


def installed_names(unix_dir):
    names = []
    for root, _, files in os.walk(unix_dir):
        names.extend(os.path.relpath(os.path.join(root, name), unix_dir) for name in files)
    return names


def program_processes(session):
    """The Linux processes in which Wine runs the setup program of this session: the command
    line names the program and the environment the session's prefix. The runner, a shell whose
    command line names the program too, is left out."""
    found = []
    prefix = os.path.realpath(session.env["WINEPREFIX"])
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == session.process.pid:
            continue
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                cmdline = f.read()
            with open("/proc/%s/environ" % entry, "rb") as f:
                environ = dict(v.split(b"=", 1) for v in f.read().split(b"\0") if b"=" in v)
        except OSError:
            continue  # ended meanwhile, or not ours
        ours = os.path.realpath(os.fsdecode(environ.get(b"WINEPREFIX", b""))) == prefix
        if b"StampwellSetup.exe" in cmdline and b"wine-run" not in cmdline and ours:
            found.append(int(entry))
    return found


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
        with open(os.path.join(unix_dir, "Example", "User", "mine.png"), "wb") as f:
            f.write(b"the user's own")
        publisher = os.path.dirname(unix_dir.rstrip("/"))
        before = installed_files(publisher)
        journal = session.unix_path(install_dir.rstrip("\\") + ".setup-journal")

        # The update, ended from outside while it replaces the files, as a power cut ends it:
        # SIGKILL of the Linux process ends the Windows process at once, with no code of its
        # own run on the way out.
        start_setup(session, d)
        session.click(QUICK_INSTALL)
        d.wait("%d files written by the update in place of earlier ones" % WRITTEN_BEFORE_THE_KILL,
               lambda: len(written_in_place_of_moved_aside(unix_dir)) >= WRITTEN_BEFORE_THE_KILL, 90 * SLOW)
        pids = program_processes(session)
        if not pids:
            raise Failure("no Linux process of the setup program found to end")
        for pid in pids:
            os.kill(pid, signal.SIGKILL)
        runner, session.process = session.process, None
        try:
            runner.wait(timeout=30 * SLOW)
        except subprocess.TimeoutExpired:
            raise Failure("the runner did not end after the setup program was killed")
        d.wait("the wizard to be gone after the kill",
               lambda: (d.wizard, d.pid) not in windows_of_class(d, WIZARD_CLASS), 30 * SLOW)
        left = moved_aside(unix_dir)
        if not left:
            raise Failure("the update finished before it was ended: no moved-aside file is left")
        session.expect(os.path.exists(journal), "the killed update left no journal")
        print("killed process %s mid-run: %d files moved aside, %d written in their place" % (
            pids, len(left), len(written_in_place_of_moved_aside(unix_dir))), flush=True)
        session.expect("UnfinishedRun" in session.wine("reg", "query", JOURNAL_KEY, check=False),
                       "the killed update left no value naming its journal")

        start_setup(session, d)
        session.screenshot("wizard-after-undo")
        after = installed_files(publisher)
        session.expect(after == before, "the unfinished update was not taken back: %r" % sorted(
            name for name in set(after) | set(before) if after.get(name) != before.get(name)))
        session.expect(not moved_aside(unix_dir), "moved-aside files are left")
        session.expect(not os.path.exists(journal), "the journal is left")
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
