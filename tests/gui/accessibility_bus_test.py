#!/usr/bin/python3
"""Drives the desktop program through the accessibility bus (AT-SPI), as a screen reader or a
test robot does: starts it on its own X server and session bus, presses Start, switches tabs
and languages, reads the passphrase rating and runs a text round trip.

Usage: accessibility_bus_test.py SEALWISE
Exit status 77 (skipped) when Xvfb, the session bus or the AT-SPI client are not installed.
"""
import os
import shutil
import subprocess
import sys
import time

SKIP = 77
TIMEOUT = 60.0
BUS_LAUNCHERS = ("/usr/libexec/at-spi-bus-launcher", "/usr/lib/at-spi2-core/at-spi-bus-launcher")


def skip(why):
    print(f"skipped: {why}")
    sys.exit(SKIP)


def start_session(program):
    """Runs this script again inside a private session bus."""
    for tool in ("Xvfb", "dbus-run-session"):
        if not shutil.which(tool):
            skip(f"{tool} is not installed")
    env = dict(os.environ, SEALWISE_IN_BUS_SESSION="1")
    return subprocess.run(["dbus-run-session", "--", sys.executable, __file__, program],
                          env=env, check=False).returncode


def start_x_server():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                               "1366x768x24", "-nolisten", "tcp"], pass_fds=(write_end,),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        display = pipe.readline().strip()
    if not display:
        server.kill()
        skip("Xvfb did not start")
    return server, ":" + display


def wait_for(what, probe, timeout=TIMEOUT):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        try:
            found = probe()
        except Exception:  # the tree changes while it is walked
            found = None
        if found:
            return found
        time.sleep(0.2)
    raise AssertionError(f"timed out waiting for {what}")


def find_all(node, predicate, depth=0):
    found = []
    if node is None or depth > 40:
        return found
    if predicate(node):
        found.append(node)
    for i in range(node.childCount):
        found.extend(find_all(node.getChildAtIndex(i), predicate, depth + 1))
    return found


class Robot:
    def __init__(self, pyatspi, app):
        self.at = pyatspi
        self.app = app

    def find(self, role, name=None, within=None, showing=False):
        def matches(node):
            if node.getRole() != role or (name is not None and node.name != name):
                return False
            return not showing or node.getState().contains(self.at.STATE_SHOWING)
        hits = find_all(within or self.app, matches)
        return hits[0] if hits else None

    def wait(self, role, name=None, within=None, showing=False):
        return wait_for(f"{role} '{name}'", lambda: self.find(role, name, within, showing))

    def press(self, node):
        action = node.queryAction()
        names = [action.getName(i).lower() for i in range(action.nActions)]
        for wanted in ("press", "click", "activate"):
            if wanted in names:
                action.doAction(names.index(wanted))
                return
        raise AssertionError(f"{node.name} has no press action, only {names}")

    def state(self, node, state):
        return node.getState().contains(state)

    def set_text(self, node, text):
        node.queryEditableText().setTextContents(text)

    def text(self, node):
        content = node.queryText()
        return content.getText(0, content.characterCount)


def drive(program):
    server, display = start_x_server()
    processes = [server]
    try:
        launcher = next((path for path in BUS_LAUNCHERS if os.path.exists(path)), None)
        if launcher is None:
            skip("at-spi-bus-launcher is not installed")
        processes.append(subprocess.Popen([launcher, "--launch-immediately"],
                                          env=dict(os.environ, DISPLAY=display)))
        time.sleep(1.0)
        try:
            import pyatspi
        except ImportError:
            skip("python3-pyatspi is not installed")
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8",
                   LANGUAGE="", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                   SEALWISE_SMOKE_TEST="")
        processes.append(subprocess.Popen([program], env=env))

        desktop = pyatspi.Registry.getDesktop(0)

        def application():
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
                if app is not None and "sealwise" in (app.name or "").lower():
                    return app
            return None
        robot = Robot(pyatspi, wait_for("the program on the bus", application))

        # The welcome window is a dialog; Start opens the main window, a frame.
        welcome = robot.wait(pyatspi.ROLE_DIALOG, "Welcome...")
        robot.press(robot.wait(pyatspi.ROLE_PUSH_BUTTON, "Start", within=welcome))
        main = robot.wait(pyatspi.ROLE_FRAME, "Sealwise")

        # The main strip's tabs are page tabs; pressing one selects it and shows its panel.
        files_tab = robot.wait(pyatspi.ROLE_PAGE_TAB, "Encrypt/Decrypt Files", within=main)
        text_tab = robot.wait(pyatspi.ROLE_PAGE_TAB, "Encrypt/Decrypt Text", within=main)
        assert robot.state(files_tab, pyatspi.STATE_SELECTED)
        assert files_tab.parent.getRole() == pyatspi.ROLE_PAGE_TAB_LIST
        robot.press(text_tab)
        wait_for("the text tab selected", lambda: robot.state(text_tab, pyatspi.STATE_SELECTED))
        assert not robot.state(files_tab, pyatspi.STATE_SELECTED)
        encrypt = robot.wait(pyatspi.ROLE_PUSH_BUTTON, "Encrypt text", within=main, showing=True)

        # The rating is one value that follows the passphrase.
        rating = wait_for("the rating", lambda: next(iter(find_all(
            main, lambda n: n.name == "Passphrase quality" and
            n.getRole() != pyatspi.ROLE_LABEL)), None))
        assert rating.queryValue().currentValue == 0, rating.queryValue().currentValue
        assert rating.childCount == 0
        passphrase = robot.wait(pyatspi.ROLE_PASSWORD_TEXT, "Passphrase", within=main)
        robot.set_text(passphrase, "Tr0ub4dor&3 correct horse battery staple!")
        wait_for("a rating above 0", lambda: rating.queryValue().currentValue > 0)
        stars = int(rating.queryValue().currentValue)
        assert rating.description == f"{stars} of 5 stars", rating.description

        # A flag is a radio button; pressing "Deutsch" switches every text.
        german = robot.wait(pyatspi.ROLE_RADIO_BUTTON, "Deutsch", within=main)
        assert not robot.state(german, pyatspi.STATE_CHECKED)
        robot.press(german)
        wait_for("German checked", lambda: robot.state(german, pyatspi.STATE_CHECKED))
        robot.wait(pyatspi.ROLE_PUSH_BUTTON, "Text verschlüsseln", within=main, showing=True)
        wait_for("the rating in German", lambda: rating.description == f"{stars} von 5 Sternen")
        robot.press(robot.wait(pyatspi.ROLE_RADIO_BUTTON, "English", within=main))
        encrypt = robot.wait(pyatspi.ROLE_PUSH_BUTTON, "Encrypt text", within=main, showing=True)

        # A text round trip, every step through the bus.
        plain = "Hello through the accessibility bus"
        box = wait_for("the text box", lambda: next(iter(find_all(
            main, lambda n: n.name == "Text to encrypt or decrypt" and
            n.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY))), None))
        robot.set_text(box, plain)
        robot.press(encrypt)
        robot.press(robot.wait(pyatspi.ROLE_PUSH_BUTTON, "OK", showing=True))  # memorise it
        wait_for("the armour", lambda: plain not in robot.text(box) and robot.text(box).strip())
        robot.set_text(robot.wait(pyatspi.ROLE_PASSWORD_TEXT, "Passphrase", within=main),
                       "Tr0ub4dor&3 correct horse battery staple!")
        robot.press(robot.wait(pyatspi.ROLE_PUSH_BUTTON, "Decrypt text", within=main))
        wait_for("the text decrypted", lambda: plain in robot.text(box))
        print("accessibility bus: tabs, flags, rating and a text round trip work")
        return 0
    finally:
        for process in reversed(processes):
            process.terminate()
        for process in reversed(processes):
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    if not os.environ.get("SEALWISE_IN_BUS_SESSION"):
        return start_session(sys.argv[1])
    return drive(sys.argv[1])


if __name__ == "__main__":
    sys.exit(main())
