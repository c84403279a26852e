#!/usr/bin/env python3
"""Installs through the wizard as a screen reader user does: nothing but the wizard's accessible
objects, read and pressed from another process (accessibility_probe.cpp: MSAA through
AccessibleObjectFromWindow, accDoDefaultAction), no mouse and no key. Every page's tree is
printed as the probe lists it (id, role, name, states, place, value, default action).

    drive_accessible.py --build-dir DIR --probe PATH/accessibility_probe.exe

On page 0 the acceptance box is toggled off (both install buttons become unavailable) and on
again; Custom Install; the folder page's field is read; Install; the progress page is listed if
the run is slow enough to be seen; on the finish page the launch box is cleared and Finish
pressed; then the installation is checked as the click tests check it.

What this checks on Wine: our own objects (the wizard's client and its children) answer the
same on Wine as on Windows, because they are ours; the probe prints roles by their constants'
names, since Wine's oleacc spells the system's role texts differently ("check button" for
Windows' "check box"). The system's own object for a standard control's window differs too:
Windows reports the acceptance box's window as a check box, Wine's oleacc gives the client of a
button window the generic client role. That object is printed, and only its name (the window
text, which both take from the window) is checked.
"""
import sys
import time

from drive_browse import run_with_probe
from drive_setup import PRODUCT, Failure

ACCEPT = "I Accept the License Agreement"
PATIENCE = 40


class Element:
    def __init__(self, line):
        fields = line.split("\t")
        self.id = int(fields[0])
        self.role, self.name, states, place, self.value, self.action = fields[1:7]
        self.states = set(states.split(","))
        self.rect = [int(v) for v in place.split()]

    def __repr__(self):
        return "%s %r" % (self.role, self.name)


class Reader:
    def __init__(self, session, probe):
        self.s = session
        self.probe = probe
        self.window = None

    def wait(self, what, condition, seconds=PATIENCE):
        return self.s.wait(what, condition, seconds)

    def tree(self):
        return [Element(line) for line in self.probe.ask("tree " + self.window)]

    def named(self, name, tree=None):
        for e in (tree or self.tree())[1:]:
            if e.name == name:
                return e
        return None

    def show(self, title):
        lines = self.probe.ask("tree " + self.window)
        print("--- %s ---" % title)
        for line in lines:
            print(line)
        print(flush=True)
        return [Element(line) for line in lines]

    def press(self, name):
        answer = self.probe.ask("press %s %s" % (self.window, name))
        if answer != ["ok"]:
            raise Failure("pressing %r: %s" % (name, " ".join(answer)))


def scenario(s, r):
    s.no_browser()
    s.start()
    r.window = r.wait("the wizard in the probe's view", lambda: r.probe.ask("find " + PRODUCT))[0]
    install_dir = None
    try:
        page = r.show("choice page")
        names = [(e.role, e.name) for e in page[1:]]
        s.expect(names == [("statictext", PRODUCT), ("checkbutton", ACCEPT), ("link", "License Agreement"),
                           ("pushbutton", "Quick Install"), ("pushbutton", "Custom Install"),
                           ("pushbutton", "Close")], "choice page children: %r" % names)
        s.expect(page[0].role == "client" and page[0].name == PRODUCT, "the client object: %r" % page[0])
        quick = r.named("Quick Install", page)
        s.expect(quick and quick.action == "Press" and "focusable" in quick.states, "Quick Install: %r" % quick)
        s.expect("checked" in r.named(ACCEPT, page).states, "the acceptance box is not checked at start")
        system = r.probe.ask("system %s I Accept the " % r.window)
        print("the system's object of the acceptance box's window: " + " | ".join(system), flush=True)
        s.expect(bool(system) and system[0].split("\t")[1] == "I Accept the ",
                 "the system's object of the box's window: %r" % system)

        r.press(ACCEPT)
        r.wait("the acceptance cleared", lambda: "checked" not in r.named(ACCEPT).states)
        page = r.show("choice page, not accepted")
        for name in ("Quick Install", "Custom Install"):
            s.expect("unavailable" in r.named(name, page).states, name + " is not unavailable")
        r.press(ACCEPT)
        r.wait("the acceptance back", lambda: "checked" in r.named(ACCEPT).states and
               "unavailable" not in r.named("Quick Install").states)

        r.press("Custom Install")
        page = r.wait("the folder page", lambda: (lambda t: r.named("Browse", t) and t)(r.tree()))
        page = r.show("folder page")
        field = [e for e in page if e.role == "text"]
        s.expect(len(field) == 1 and field[0].name == "Destination folder", "the folder field: %r" % field)
        folder = field[0].value if field else ""
        s.expect(folder.endswith("\\Quendra Soft"), "the field's value: %r" % folder)
        install_dir = folder + "\\" + PRODUCT + "\\"
        s.remove_installation(install_dir)

        r.press("Install")
        seen_progress = False
        deadline = time.time() + 120
        while time.time() < deadline:
            tree = r.tree()
            if not seen_progress and r.named("Installation progress", tree):
                seen_progress = True
                r.show("progress page")
            if r.named("Finish", tree):
                break
            time.sleep(0.1)
        if not seen_progress:
            print("(the run was over before the progress page could be listed)", flush=True)
        page = r.show("finish page")
        launch = r.named("Launch " + PRODUCT, page)
        s.expect(launch and "checked" in launch.states, "the launch box: %r" % launch)
        r.press("Launch " + PRODUCT)
        r.wait("the launch box cleared", lambda: "checked" not in r.named("Launch " + PRODUCT).states)
        r.press("Finish")
        s.expect(s.wait_for_exit(30), "the setup did not end after Finish")
        s.check_installation(install_dir)
    finally:
        s.stop()
        if install_dir:
            s.remove_installation(install_dir)


def main():
    return run_with_probe("accessible", lambda session, probe: scenario(session, Reader(session, probe)),
                          "screen-reader install", window_probe=False)


if __name__ == "__main__":
    sys.exit(main())
