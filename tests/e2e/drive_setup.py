#!/usr/bin/env python3
"""Drives the real setup program under Wine from outside, as a person would: real mouse
clicks and keystrokes (xdotool) on the session's X server, a screenshot of every page, then
checks of what the installation left in the prefix (files, "Uninstall.txt", shortcut files,
the registry entry through `wine reg query`).

    drive_setup.py --build-dir DIR [--probe PATH/window_probe.exe] SCENARIO

    quick                                   Quick Install, Finish with the launch box cleared
    custom                                  Custom Install, Back once, a typed folder, Install
    roundtrip                               Quick Install, then the uninstaller from the installation
                                            folder, its boxes answered with the keyboard: nothing of
                                            the installation is left, nothing else is touched
    --exe PROGRAM                           drive this copy of the setup program (a signed one)
                                            instead of DIR/StampwellSetup.exe
    --probe PROBE                           the window probe (window_probe.cpp), by default the
                                            build tree's tests/e2e/window_probe.exe
    --dpi N                                 on a screen of N pixels per inch: a prefix and a session
                                            of their own (tools/wine-run-at-dpi.sh); the window must
                                            take the scaled size, and the clicks land scaled

The probe tells the driver which page shows, where the focus is and what the controls hold,
so that after each click the driver waits for the state that the click leads to.

Exit code 0 when every check passed. Screenshots go to DIR/artifacts/e2e-<scenario>-*.png.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

from window_probe import Child, Failure, Probe

PRODUCT = "Quendra Stampwell"
KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\QuendraStampwell"

# Centres of the controls in the wizard's client area (the pages start at its origin).
QUICK_INSTALL = (158 + 144, 160 + 35)
CUSTOM_INSTALL = (245 + 60, 247 + 15)
FOLDER_FIELD = (71 + 189, 174 + 8)
INSTALL = (206 + 94, 240 + 26)
BACK = (395 + 28, 251 + 15)
FINISH = (206 + 94, 210 + 26)
LAUNCH_BOX = (11 + 6, 320 + 8)
# Texts of controls that only one page has.
ACCEPT_CAPTION = "I Accept the "
LICENCE_ACCEPT_CAPTION = "I Accept the License Agreement"
LAUNCH_CAPTION = "Launch " + PRODUCT
# How long a step may take on a loaded machine before it counts as failed.
PATIENCE = 30


# Under user-mode emulation (the 32-bit stage of a machine that runs no 32-bit code natively) a
# 32-bit program runs several times slower: every wait for the program is stretched by this.
SLOW = 4 if os.environ.get("STAMPWELL_EMULATED") == "1" else 1


def default_install_dir(session):
    """The installation directory below the folder that both install buttons propose, ending in
    a backslash. The test prefix is a 64-bit one: a 32-bit setup program runs under WOW64 and
    proposes "Program Files (x86)", a 64-bit build of it the native "Program Files"."""
    with open(session.exe, "rb") as f:
        header = f.read(4096)
    pe = int.from_bytes(header[0x3C:0x40], "little")
    machine = int.from_bytes(header[pe + 4:pe + 6], "little")
    program_files = "Program Files (x86)" if machine == 0x14C else "Program Files"
    return "C:\\%s\\Quendra Soft\\%s\\" % (program_files, PRODUCT)


def scaled(point, dpi):
    """A point of the wizard's 96-dpi layout at `dpi`, rounded as the program rounds its edges."""
    return tuple((v * dpi + 48) // 96 for v in point)


class Session:
    def __init__(self, build, scenario, exe=None, probe=None, dpi=96):
        self.build = os.path.abspath(build)
        self.exe = os.path.abspath(exe) if exe else os.path.join(self.build, "StampwellSetup.exe")
        self.root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
        self.dpi = dpi
        # The prefix and the session: the tree's own, or at another DPI ones of their own.
        if dpi == 96:
            self.runner = [os.path.join(self.root, "tools", "wine-run.sh"), "--build-dir", self.build]
            self.session_root = self.build
        else:
            self.runner = ["bash", os.path.join(self.root, "tools", "wine-run-at-dpi.sh"), self.build, str(dpi)]
            self.session_root = os.path.join(self.build, "dpi", str(dpi))
            subprocess.run(self.runner + ["--start"], check=True, stdin=subprocess.DEVNULL)
        self.scenario = scenario if dpi == 96 else "%s-%ddpi" % (scenario, dpi)
        self.env = dict(os.environ)
        self.env.update(WINEPREFIX=os.path.join(self.session_root, "wineprefix"),
                        HOME=os.path.join(self.session_root, "winehome"),
                        WINEDEBUG="-all", WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d")
        self.env["XDG_CONFIG_HOME"] = os.path.join(self.env["HOME"], ".config")
        self.env["XDG_DATA_HOME"] = os.path.join(self.env["HOME"], ".local", "share")
        self.env["XDG_CACHE_HOME"] = os.path.join(self.env["HOME"], ".cache")
        with open(os.path.join(self.session_root, "wine-session", "xvfb")) as f:
            self.env["DISPLAY"] = ":" + f.read().split()[0]
        self.artifacts = os.path.join(self.build, "artifacts") if dpi == 96 else os.path.join(self.build, "artifacts", "dpi")
        os.makedirs(self.artifacts, exist_ok=True)
        self.shots = 0
        self.failures = []
        self.process = None
        self.window = None   # the wizard's X window
        self.wizard = None   # the wizard's window handle and process id inside Wine
        self.pid = None
        self.probe_exe = probe or os.path.join(self.build, "tests", "e2e", "window_probe.exe")
        self._probe = None

    @property
    def probe(self):
        """The window probe, started on first use and kept until close()."""
        if self._probe is None:
            if not os.path.isfile(self.probe_exe):
                raise Failure("the window probe %s is missing: build the window_probe target" % self.probe_exe)
            self._probe = Probe(self, self.probe_exe)
        return self._probe

    def close(self):
        if self._probe is not None:
            self._probe.stop()
            self._probe = None

    # --- the outside tools ---
    def run(self, *args, check=True):
        # Through files, not pipes: Wine's helper processes inherit the standard handles and
        # outlive the command, so a pipe would never report its end.
        import tempfile
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            code = subprocess.run(list(args), env=self.env, stdin=subprocess.DEVNULL, stdout=out, stderr=err).returncode
            out.seek(0)
            err.seek(0)
            stdout = out.read().decode("utf-8", "replace")
            stderr = err.read().decode("utf-8", "replace")
        if check and code != 0:
            raise Failure("%s failed with code %d: %s" % (" ".join(args), code, stderr.strip()))
        return stdout

    def loader(self):
        # The 64-bit loader runs the prefix's own programs natively and hands a 32-bit program to
        # the 32-bit loader beside it (Debian's "wine" would start the 32-bit loader first).
        self.env["WINELOADER"] = "/usr/lib/wine/wine64"
        return "/usr/lib/wine/wine64"

    def wine(self, *args, check=True):
        return self.run(self.loader(), *args, check=check)

    def unix_path(self, windows_path):
        # A Wine process started beside the setup's own (and its helpers' exits) now and then
        # ends with a failure code and no word, before it has converted anything: one more try
        # tells that apart from a path that cannot be converted.
        for attempt in range(3):
            try:
                return self.wine("winepath.exe", "-u", windows_path).strip()
            except Failure:
                if attempt == 2:
                    raise
                time.sleep(0.5)  # not a wait for a state: a pause before the next try

    def expect(self, condition, what):
        if not condition:
            self.failures.append(what)
            print("FAILED: " + what, flush=True)

    def screenshot(self, name):
        self.shots += 1
        path = os.path.join(self.artifacts, "e2e-%s-%02d-%s.png" % (self.scenario, self.shots, name))
        self.run("import", "-window", "root", path)
        print("screenshot: " + path, flush=True)

    # --- waiting ---
    def wait(self, what, condition, seconds=None, shot="timeout", watch=None):
        """Polls `condition` until it gives a true value, which it returns; fails after `seconds`
        (by default PATIENCE, stretched under emulation) with a screenshot named `shot`, or as
        soon as the process `watch` (by default the setup program) has ended."""
        seconds = seconds or PATIENCE * SLOW
        watch = watch or self.process
        deadline = time.time() + seconds
        while True:
            value = condition()
            if value:
                return value
            if time.time() >= deadline:
                self.screenshot(shot)
                raise Failure("waited %d s for %s" % (seconds, what))
            if watch and watch.poll() is not None:
                raise Failure("the program ended while waiting for " + what)
            time.sleep(0.15)

    # --- what the probe sees ---
    def children(self, hwnd):
        return [Child(line) for line in self.probe.ask("children " + hwnd)]

    def child(self, hwnd, cls, text=None):
        for c in self.children(hwnd):
            if c.cls == cls and c.visible and (text is None or c.text == text):
                return c
        return None

    def rect(self, hwnd):
        """The window's outer and client rectangles in screen pixels: ([l, t, r, b], [l, t, r, b])."""
        values = [int(v) for v in self.probe.ask("rect " + hwnd)[0].split()]
        return values[:4], values[4:]

    def foreground(self):
        return int(self.probe.ask("foreground")[0], 16)

    def painted(self, hwnd):
        return self.probe.ask("painted " + hwnd) == ["1"]

    def checked(self, box):
        return self.probe.ask("checked " + box.hwnd)[0] == "1"

    def focus(self):
        answer = self.probe.ask("gui " + self.wizard)
        return int(answer[0].split()[0], 16) if answer else 0

    def folder_field(self):
        """The wizard's folder field (the visible edit of the folder page), or None."""
        for c in self.children(self.wizard):
            if c.cls == "Edit" and c.visible and c.rect[2] - c.rect[0] > 300:
                return c
        return None

    def page(self):
        """The wizard's page that shows, told by a control that only it has: "choice",
        "licence", "folder", "progress" or "finish"; None while none of them shows."""
        for c in self.children(self.wizard):
            if not c.visible:
                continue
            if c.cls == "Button" and c.text == ACCEPT_CAPTION:
                return "choice"
            if c.cls == "Button" and c.text == LICENCE_ACCEPT_CAPTION:
                return "licence"
            if c.cls == "Edit" and c.rect[2] - c.rect[0] > 300:
                return "folder"
            if c.cls == "msctls_progress32":
                return "progress"
            if c.cls == "Button" and c.text == LAUNCH_CAPTION:
                return "finish"
        return None

    def on_page(self, *pages):
        """A condition for wait(): one of `pages` shows."""
        return lambda: self.page() in pages

    # --- the setup program ---
    def start(self):
        """Starts the setup program and waits until its wizard shows, painted."""
        # What the program and Wine print is kept beside the screenshots.
        self.output = open(os.path.join(self.artifacts, "e2e-%s-program.log" % self.scenario), "wb")
        before = set(self.probe.ask("find " + PRODUCT))
        self.process = subprocess.Popen(self.runner + [self.exe], env=self.env,
                                        stdout=self.output, stderr=subprocess.STDOUT)
        self.window = self.wait("the wizard window", lambda: self.run(
            "xdotool", "search", "--onlyvisible", "--name", "^%s$" % PRODUCT, check=False).split(), 60 * SLOW)[0]
        found = self.wait("the wizard window in the probe's view",
                          lambda: [w for w in self.probe.ask("find " + PRODUCT) if w not in before])
        self.wizard, self.pid = found[0].split()
        self.wait("the wizard's first paint", lambda: self.painted(self.wizard))
        self.expect_scaled_size()

    def expect_scaled_size(self):
        """The window is the page picture's size at the screen's DPI (the program declares itself
        aware of each monitor's DPI; unaware, Wine would leave it at 600 x 350)."""
        geometry = self.run("xdotool", "getwindowgeometry", "--shell", self.window)
        values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
        size = (int(values["WIDTH"]), int(values["HEIGHT"]))
        self.expect(size == scaled((600, 350), self.dpi), "the wizard is %dx%d at %d dpi, not %dx%d"
                    % (size + (self.dpi,) + scaled((600, 350), self.dpi)))

    def end_session(self):
        if self.dpi != 96:
            subprocess.run(self.runner + ["--stop"], stdin=subprocess.DEVNULL)

    def origin(self):
        geometry = self.run("xdotool", "getwindowgeometry", "--shell", self.window)
        values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
        return int(values["X"]), int(values["Y"])

    def click(self, point, what=None, until=None):
        """Clicks at `point` of the wizard's client area; then, given a condition, waits until
        it holds (`what` names the state) and returns its value."""
        x, y = self.origin()
        point = scaled(point, self.dpi)
        self.run("xdotool", "mousemove", "--sync", str(x + point[0]), str(y + point[1]))
        time.sleep(0.2)  # the hand comes to rest before it presses
        self.run("xdotool", "click", "1")
        return self.wait(what, until) if until else None

    def type_folder(self, text):
        field = self.wait("the folder field", self.folder_field)
        self.click(FOLDER_FIELD, "the folder field's focus", lambda: self.focus() == int(field.hwnd, 16))
        self.run("xdotool", "key", "End", "shift+Home", "BackSpace")
        self.run("xdotool", "type", "--delay", "30", text)
        self.wait("the folder field to hold " + text, lambda: (lambda f: f and f.text == text)(self.folder_field()))

    def wait_for_file(self, path, seconds):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if os.path.exists(path):
                return True
            if self.process.poll() is not None:
                return False
            time.sleep(0.2)
        return False

    def wait_for_exit(self, seconds):
        try:
            self.process.wait(timeout=seconds)
            return True
        except subprocess.TimeoutExpired:
            return False

    def stop(self):
        # The runner passes the termination on to the program it started.
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()

    # --- the prefix ---
    def special_folder(self, variable):
        return self.wine("cmd", "/c", "echo %" + variable + "%").strip()

    def remove_installation(self, install_dir):
        """Whatever an earlier run left: the folder, the shortcuts, the entry."""
        shutil.rmtree(self.unix_path(install_dir), ignore_errors=True)
        self.wine("reg", "delete", KEY, "/f", check=False)
        programs = os.path.join(self.unix_path(self.special_folder("APPDATA")), "Microsoft", "Windows",
                                "Start Menu", "Programs", "Quendra Soft")
        shutil.rmtree(programs, ignore_errors=True)
        for desktop in self.desktops():
            link = os.path.join(desktop, PRODUCT + ".lnk")
            if os.path.lexists(link):
                os.remove(link)

    def desktops(self):
        users = os.path.join(self.env["WINEPREFIX"], "drive_c", "users")
        found = []
        for user in os.listdir(users) if os.path.isdir(users) else []:
            desktop = os.path.join(users, user, "Desktop")
            if os.path.isdir(desktop):
                found.append(desktop)
        return found

    def no_browser(self):
        # Finish opens the product's web page; in the test prefix no browser may start.
        self.wine("reg", "add", r"HKCU\Software\Wine\WineBrowser", "/v", "Browsers", "/d", "true", "/f")

    def finish(self, install_dir, unfinished, keep_cleared_box=False):
        """Waits for the run's log, clears the launch box on the finish page, clicks Finish,
        and checks what the installation left."""
        log = os.path.join(self.unix_path(install_dir), "Uninstall.txt")
        self.expect(self.wait_for_file(log, 90 * SLOW), unfinished)
        self.end_on_finish_page(keep_cleared_box)
        self.expect(self.process.returncode == 0, "the setup ended with exit code %s after Finish, not 0"
                    % self.process.returncode)
        self.check_installation(install_dir)

    def end_on_finish_page(self, keep_cleared_box=False, seconds=None):
        """Waits for the finish page (`seconds`, as wait() takes them), clears its launch box, as
        a person does who does not want the product started, and clicks Finish; the program
        must end."""
        launch = self.wait("the finish page", lambda: self.page() == "finish" and self.painted(self.wizard)
                           and self.child(self.wizard, "Button", LAUNCH_CAPTION), seconds)
        self.screenshot("finish-page")
        self.click(LAUNCH_BOX, "the launch box cleared", lambda: not self.checked(launch))
        if keep_cleared_box:
            self.screenshot("finish-page-launch-cleared")
        self.click(FINISH)
        self.expect(self.wait_for_exit(20 * SLOW), "the setup did not end after Finish")

    def check_installation(self, install_dir):
        """install_dir: the Windows path of the installation directory, ending in a backslash."""
        unix_dir = self.unix_path(install_dir)
        manifest_path = os.path.join(self.root, "resources", "payload", "manifest.txt")
        with open(manifest_path) as f:
            manifest = [line.strip() for line in f if line.strip()]
        payload = os.path.join(self.build, "payload-demo")
        for entry in manifest:
            installed = os.path.join(unix_dir, *entry.split("\\"))
            source = os.path.join(payload, *entry.split("\\"))
            if not os.path.isfile(installed):
                self.expect(False, "missing file " + entry)
                continue
            if os.path.isfile(source):
                with open(installed, "rb") as a, open(source, "rb") as b:
                    self.expect(a.read() == b.read(), "file differs from the payload: " + entry)
        self.expect(os.path.isdir(os.path.join(unix_dir, "Example", "User")), "Example\\User missing")

        log_path = os.path.join(unix_dir, "Uninstall.txt")
        self.expect(os.path.isfile(log_path), "Uninstall.txt missing")
        if not os.path.isfile(log_path):
            return
        with open(log_path, "rb") as f:
            data = f.read()
        self.expect(data.endswith(b"\r\n") and b"\n" not in data.replace(b"\r\n", b""), "log lines not CR LF")
        lines = data.decode("latin-1").split("\r\n")[:-1]
        self.expect(len(lines) == 250, "Uninstall.txt has %d lines, not 250" % len(lines))
        self.expect(lines[0] == "Quendra Stampwell Uninstall", "first line: " + lines[0])
        self.expect(lines[1:229] == [install_dir + e for e in manifest], "file lines differ")
        self.expect(lines[229] == install_dir + "Uninstall.txt", "line 230: " + lines[229])
        self.expect(lines[243] == "<SDIR>" + install_dir, "line 244: " + lines[243])
        links = [line for line in lines if line.lower().endswith(".lnk")]
        self.expect(len(links) == 6, "%d shortcut lines, not 6" % len(links))
        for link in links:
            unix_link = self.unix_path(link)
            ok = os.path.isfile(unix_link)
            self.expect(ok, "shortcut missing: " + link)
            if ok and not link.endswith(("on the web.lnk", "on online.lnk")):
                with open(unix_link, "rb") as f:
                    body = f.read()
                self.expect(body[:4] == b"L\0\0\0", "not a shell link: " + link)
                target = install_dir.rstrip("\\").encode("latin-1")
                self.expect(target in body or target.decode().encode("utf-16-le") in body,
                            "shortcut does not point into the installation: " + link)

        query = self.wine("reg", "query", KEY, check=False)
        values = {}
        for line in query.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[1] == "REG_SZ":
                values[parts[0]] = parts[2] if len(parts) == 3 else ""
            elif len(parts) == 3 and parts[1] == "REG_DWORD":
                values[parts[0]] = int(parts[2], 16)
        expected = {
            "DisplayName": PRODUCT,
            "UninstallString": '"%sunin00000.exe"' % install_dir,
            "DisplayIcon": install_dir + "Stampwell.exe",
            "InstallLocation": install_dir,
            "Publisher": "Quendra Soft",
            "URLInfoAbout": "http://www.quendrasoft.com/stampwell/",
            "HelpLink": "http://www.quendrasoft.com/stampwell/",
            "URLUpdateInfo": "http://www.quendrasoft.com/stampwell/",
            "DisplayVersion": "3.3.0.0",
            "NoModify": 1,
            "NoRepair": 1,
        }
        for name, data in expected.items():
            self.expect(values.get(name) == data, "registry %s = %r, not %r" % (name, values.get(name), data))
        # The payload's size in KB, rounded up.
        payload = sum(os.path.getsize(os.path.join(unix_dir, *entry.split("\\"))) for entry in manifest)
        self.expect(values.get("EstimatedSize") == (payload + 1023) // 1024,
                    "registry EstimatedSize = %r, not %d KB" % (values.get("EstimatedSize"), (payload + 1023) // 1024))
        self.expect(len(values) == 12, "registry entry holds %d values, not 12" % len(values))


def quick(session):
    # The folder field's default from the window's creation.
    install_dir = default_install_dir(session)
    session.remove_installation(install_dir)
    session.no_browser()
    session.start()
    try:
        session.screenshot("choice-page")
        session.click(QUICK_INSTALL, "the progress page", session.on_page("progress", "finish"))
        session.screenshot("progress-page")
        session.finish(install_dir, "the installation did not finish", keep_cleared_box=True)
    finally:
        session.stop()
        session.remove_installation(install_dir)


def custom(session):
    folder = "C:\\e2e typed folder\\Quendra Soft"
    install_dir = folder + "\\" + PRODUCT + "\\"
    session.remove_installation(install_dir)
    session.no_browser()
    session.start()
    try:
        session.screenshot("choice-page")
        session.click(CUSTOM_INSTALL, "the folder page", session.on_page("folder"))
        session.screenshot("folder-page")
        session.click(BACK, "the choice page", session.on_page("choice"))
        session.screenshot("choice-page-after-back")
        session.click(CUSTOM_INSTALL, "the folder page again", session.on_page("folder"))
        session.type_folder(folder)
        session.screenshot("folder-page-typed")
        session.click(INSTALL, "the progress page", session.on_page("progress", "finish"))
        session.screenshot("progress-page")
        session.finish(install_dir, "the installation did not finish in the typed folder")
    finally:
        session.stop()
        session.remove_installation(install_dir)
        shutil.rmtree(session.unix_path("C:\\e2e typed folder"), ignore_errors=True)


def answer_boxes(session, process, caption, seconds=60):
    """Presses Enter on each box captioned `caption` (its default button: Yes, then OK) until
    `process` ends; returns how many boxes were answered."""
    answered, seen = 0, set()
    deadline = time.time() + seconds * SLOW
    while time.time() < deadline and process.poll() is None:
        fresh = [line.split()[0] for line in session.probe.ask("find " + caption) if line.split()[0] not in seen]
        if not fresh:
            time.sleep(0.3)
            continue
        box = fresh[-1]
        seen.add(box)
        session.wait("the box to show, painted", lambda: session.painted(box), watch=process)
        session.screenshot("uninstall-box-%d" % (answered + 1))
        # No window manager gives the box the keyboard: the X server sends keys to the window
        # under the pointer, so the pointer rests on the box's text. (A click on its frame
        # would start a move, which Enter would end instead of pressing the button.) Enter
        # presses its default button.
        outer, _ = session.rect(box)
        session.run("xdotool", "mousemove", "--sync", str((outer[0] + outer[2]) // 2),
                    str(outer[1] + (outer[3] - outer[1]) // 3))
        session.wait("the box in the foreground", lambda: session.foreground() == int(box, 16), watch=process)
        session.run("xdotool", "key", "Return")
        session.wait("the box to close after Enter", lambda: box not in
                     [line.split()[0] for line in session.probe.ask("find " + caption)], watch=process)
        answered += 1
    return answered


def roundtrip(session):
    install_dir = default_install_dir(session)
    session.remove_installation(install_dir)
    session.no_browser()
    # Things of the user's beside the installation, which the removal must not touch.
    parent = session.unix_path(install_dir[:install_dir.rindex("\\", 0, -1)])
    os.makedirs(parent, exist_ok=True)
    mine = [os.path.join(parent, "notes.txt")] + [os.path.join(d, "mine.lnk") for d in session.desktops()]
    for path in mine:
        with open(path, "w") as f:
            f.write("mine")
    uninstaller = None
    session.start()
    try:
        session.click(QUICK_INSTALL, "the progress page", session.on_page("progress", "finish"))
        session.finish(install_dir, "the installation did not finish")
        unix_dir = session.unix_path(install_dir)
        uninstaller = subprocess.Popen(session.runner + [
                                        os.path.join(unix_dir, "unin00000.exe")], env=session.env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        answered = answer_boxes(session, uninstaller, PRODUCT + " Uninstall")
        session.expect(answered == 2, "%d uninstaller boxes answered, not 2 (question, report)" % answered)
        uninstaller.wait(timeout=30)
        session.expect(uninstaller.returncode == 0, "the uninstaller exited with %s" % uninstaller.returncode)
        # Its own file and folder go once it has ended.
        deadline = time.time() + 20
        while time.time() < deadline and os.path.exists(unix_dir):
            time.sleep(0.2)
        session.expect(not os.path.exists(unix_dir), "left behind: " + ", ".join(
            os.path.relpath(os.path.join(r, n), unix_dir) for r, ds, fs in os.walk(unix_dir) for n in ds + fs)
            if os.path.exists(unix_dir) else "")
        for desktop in session.desktops():
            session.expect(not os.path.lexists(os.path.join(desktop, PRODUCT + ".lnk")), "desktop shortcut left")
        group = os.path.join(session.unix_path(session.special_folder("APPDATA")), "Microsoft", "Windows",
                             "Start Menu", "Programs", "Quendra Soft", PRODUCT)
        session.expect(not os.path.exists(group), "Start Menu group left")
        session.expect("REG_SZ" not in session.wine("reg", "query", KEY, check=False), "registry entry left")
        for path in mine:
            session.expect(os.path.isfile(path) and open(path).read() == "mine", "touched: " + path)
    finally:
        if uninstaller and uninstaller.poll() is None:
            # Ending the runner leaves the program itself running under Wine, holding the
            # installation folder for the tests that come after.
            session.wine("taskkill", "/f", "/im", "unin00000.exe", check=False)
            uninstaller.kill()
        session.stop()
        session.remove_installation(install_dir)
        for path in mine:
            if os.path.lexists(path):
                os.remove(path)
        # The uninstaller's copy that removed it; Windows deletes it at the next start.
        temp = session.unix_path(session.special_folder("TEMP"))
        for name in os.listdir(temp) if os.path.isdir(temp) else []:
            if name.startswith("unin00000-") and name.endswith(".exe"):
                os.remove(os.path.join(temp, name))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--exe")
    parser.add_argument("--probe")
    parser.add_argument("--dpi", type=int, default=96)
    parser.add_argument("scenario", choices=["quick", "custom", "roundtrip"])
    args = parser.parse_args()
    session = Session(args.build_dir, args.scenario, args.exe, args.probe, args.dpi)
    try:
        {"quick": quick, "custom": custom, "roundtrip": roundtrip}[args.scenario](session)
    except Failure as failure:
        session.failures.append(str(failure))
        print("FAILED: %s" % failure, flush=True)
    finally:
        session.close()
        session.end_session()
    if session.failures:
        print("%d check(s) failed" % len(session.failures))
        return 1
    print("%s install: every check passed" % args.scenario)
    return 0


if __name__ == "__main__":
    sys.exit(main())
