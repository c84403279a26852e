#!/usr/bin/env python3
"""Drives the real setup program by the keyboard alone, as a person without a mouse would:
key presses through xdotool on the session's X server, no mouse event at all. The window probe
(window_probe.cpp) reads where the focus is, which page shows and the check boxes' states, so
that every step waits for the state it needs instead of sleeping.

    drive_keys.py --build-dir DIR --probe PATH/window_probe.exe quick
        Tab onto the acceptance box and round the page twice (the acceptance never moves),
        Space toggles it off and on, Enter starts Quick Install; on the finish page Tab and
        Space clear the launch box, Enter finishes.
    drive_keys.py --build-dir DIR --probe PATH/window_probe.exe custom
        Tab to Custom Install, Enter; type a folder into the field, Tab to Browse, Enter, Enter
        (the browse window's OK); Tab to Install, Space; clear the launch box, Tab to Finish,
        Enter.

Exit code 0 when every check passed; screenshots go to DIR/artifacts/e2e-keys-*.png.
"""
import os
import shutil
import sys

from drive_browse import BROWSE_CAPTION, BrowseDriver, run_with_probe
from drive_setup import PRODUCT, Failure, default_install_dir

ACCEPT_CAPTION = "I Accept the "
LAUNCH_CAPTION = "Launch " + PRODUCT
KEYS_FOLDER = "C:\\e2e keys folder"


class KeyDriver(BrowseDriver):
    def press(self, *names):
        # One key at a time, with time between them for a loaded machine's message queue.
        self.s.run("xdotool", "key", "--delay", "250", *names)

    def focus(self):
        answer = self.probe.ask("gui " + self.wizard)
        return answer[0].split()[0] if answer else None

    def box(self, caption):
        return self.wait("the check box " + caption,
                         lambda: self.child(self.wizard, "Button", caption))

    def checked(self, box):
        return self.probe.ask("checked " + box.hwnd)[0] == "1"

    def wait_checked(self, box, state, what):
        self.wait(what, lambda: self.checked(box) == state)

    def wait_focus(self, hwnd, what):
        self.wait(what, lambda: int(self.focus() or "0", 16) == int(hwnd, 16))

    def field(self):
        for c in self.children(self.wizard):
            if c.cls == "Edit" and c.visible and c.rect[2] - c.rect[0] > 300:
                return c
        return None

    def finish_by_keys(self, install_dir):
        log = os.path.join(self.s.unix_path(install_dir), "Uninstall.txt")
        self.s.expect(self.s.wait_for_file(log, 120), "the installation did not finish")
        launch = self.wait("the finish page", lambda: self.child(self.wizard, "Button", LAUNCH_CAPTION))
        self.s.screenshot("finish-page")
        self.press("Tab")
        self.wait_focus(launch.hwnd, "Tab onto the launch box")
        self.press("space")
        self.wait_checked(launch, False, "Space to clear the launch box")
        self.s.screenshot("finish-page-launch-cleared")
        # Enter from the box presses the page's main button, Finish.
        self.press("Return")
        self.s.expect(self.s.wait_for_exit(30), "the setup did not end after Enter on the finish page")
        self.s.check_installation(install_dir)


def quick(s, probe):
    d = KeyDriver(s, probe)
    # Quick Install takes the folder that Custom Install proposes.
    install_dir = default_install_dir(s)
    s.remove_installation(install_dir)
    s.no_browser()
    d.start()
    try:
        accept = d.box(ACCEPT_CAPTION)
        d.press("Tab")
        d.wait_focus(accept.hwnd, "Tab onto the acceptance box")
        s.screenshot("choice-page-box-focused")
        s.expect(d.checked(accept), "the acceptance changed when Tab reached the box")
        # Round the page twice: box, link, Quick Install, Custom Install, close, box.
        for lap in range(2):
            d.press(*["Tab"] * 5)
            d.wait_focus(accept.hwnd, "Tab round the page back onto the box")
            s.expect(d.checked(accept), "the acceptance changed on Tab lap %d" % (lap + 1))
        d.press("shift+Tab", "Tab")
        d.wait_focus(accept.hwnd, "Shift+Tab and Tab back onto the box")
        s.expect(d.checked(accept), "the acceptance changed on Shift+Tab")
        d.press("space")
        d.wait_checked(accept, False, "Space to clear the acceptance")
        s.screenshot("choice-page-not-accepted")
        # Not accepted: Enter has no main button to press.
        d.press("Return")
        d.press("space")
        d.wait_checked(accept, True, "Space to accept again")
        # The keys are handled in order: the page that shows now is the one Enter left.
        s.expect(d.child(d.wizard, "Button", ACCEPT_CAPTION) is not None, "Enter left the page without the acceptance")
        d.press("Return")
        s.screenshot("progress-page")
        d.finish_by_keys(install_dir)
    finally:
        s.stop()
        s.remove_installation(install_dir)


def custom(s, probe):
    d = KeyDriver(s, probe)
    install_dir = KEYS_FOLDER + "\\" + PRODUCT + "\\"
    s.remove_installation(install_dir)
    shutil.rmtree(s.unix_path(KEYS_FOLDER), ignore_errors=True)
    os.makedirs(s.unix_path(KEYS_FOLDER))
    s.no_browser()
    d.start()
    try:
        accept = d.box(ACCEPT_CAPTION)
        # Box, link, Quick Install, Custom Install.
        d.press(*["Tab"] * 4)
        d.press("Return")
        field = d.wait("the folder page", d.field)
        s.screenshot("folder-page")
        d.press("Tab")
        d.wait_focus(field.hwnd, "Tab onto the folder field")
        d.press("End", "shift+Home", "BackSpace")
        d.type_text(KEYS_FOLDER)
        d.wait("the typed folder", lambda: (d.field() or field).text == KEYS_FOLDER)
        # Tab to Browse, Enter: the browse window opens on the typed folder; Enter is its OK.
        d.press("Tab", "Return")
        dialog = d.wait("the browse window", lambda: d.find(BROWSE_CAPTION))[0]
        tree = d.wait("its tree", lambda: d.child(dialog, "SysTreeView32")).hwnd
        d.wait("the typed folder selected in the tree",
               lambda: any(n.selected and n.text == os.path.basename(KEYS_FOLDER.replace("\\", "/"))
                           for n in d.nodes(tree)))
        s.screenshot("browse-opened")
        d.press("Return")
        d.wait("the browse window to close on Enter", lambda: not d.find(BROWSE_CAPTION))
        s.expect(d.field().text == KEYS_FOLDER, "the field holds %r after OK" % d.field().text)
        # The focus is back on Browse (the window itself holds it): its neighbours are the two
        # shortcut boxes, then Install.
        d.wait_focus(d.wizard, "the wizard back in front with the focus")
        d.press("Tab")
        d.wait("Tab onto the desktop icon box", lambda: (lambda c: c and c.cls == "Button")(
            next((c for c in d.children(d.wizard) if int(c.hwnd, 16) == int(d.focus() or "0", 16)), None)))
        d.press("Tab", "Tab")
        # Install is windowless: the window itself holds the system focus while it has the cue.
        d.wait_focus(d.wizard, "Tab on to the Install button")
        s.screenshot("folder-page-install-focused")
        d.press("space")
        s.expect(d.checked(accept), "the acceptance changed on the way")
        d.finish_by_keys(install_dir)
    finally:
        s.stop()
        s.remove_installation(install_dir)
        shutil.rmtree(s.unix_path(KEYS_FOLDER), ignore_errors=True)


def main():
    scenario = sys.argv.pop()
    if scenario not in ("quick", "custom"):
        raise SystemExit("drive_keys.py: the last argument is quick or custom")
    return run_with_probe("keys-" + scenario, {"quick": quick, "custom": custom}[scenario],
                          "keyboard %s install" % scenario)


if __name__ == "__main__":
    sys.exit(main())
