#!/usr/bin/python3
"""The program as a screen reader meets it: the accessible tree, the focus
events and the texts of the running program, read over the AT-SPI bus the way
Orca reads them.

    screen_reader_test.py --program PATH --site ADDRESS [CASE ...]

(tests/support/suite.py runs the cases, here once the buses are up.)

Each run starts its own session bus with dbus-run-session, and on it the
accessibility bus, and announces a screen reader there, as Orca does; the
program turns its accessibility on by itself. Keys go through the X server
with xdotool, so it needs a display with a window manager. Exit status 77:
skipped, because a bus could not start or there is no display.
"""

import argparse
import collections
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import expected  # noqa: E402
import suite  # noqa: E402
from x_tools import xdotool  # noqa: E402

SKIPPED = suite.SKIPPED
CAPTION = expected.CAPTION

# Every control of the main window, in tab-index order: role, then name.
CONTROLS = [
    ("label", "Trelvik工具"),
    ("label", "FAT32"),
    ("label", "G"),
    ("label", "M"),
    ("label", "NTFS"),
    ("label", "G"),
    ("label", "M"),
    ("text", "FAT32 分区大小（GB）"),
    ("text", "FAT32 分区设置值（MB）"),
    ("text", "NTFS 分区大小（GB）"),
    ("text", "NTFS 分区设置值（MB）"),
    ("push button", "计算 FAT32"),
    ("push button", "计算 NTFS"),
    ("label", "在这里输入你想要的分区的大小(G),比如输入12,就表示12G"),
    ("label", "这里显示的是转换后的大小,也就是你分区时所须要设置的分区大小(M)"),
    ("panel", "Qinvo 网站首页"),
]
TEXT1, TEXT2, TEXT3, TEXT4 = (name for role, name in CONTROLS if role == "text")
COMMAND1, COMMAND2 = (name for role, name in CONTROLS if role == "push button")
WEB_PANEL = CONTROLS[-1][1]

MENU = ("Qinvo", [("帮助", "Ctrl+H"), ("关于", "Ctrl+S"), ("退出", "Ctrl+X")])

OPTIONS = argparse.Namespace()
pyatspi = None
GLib = None


def pump(seconds):
    """Lets the client library take in the events that came meanwhile."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        if time.monotonic() >= end:
            return
        time.sleep(0.01)


def wait_for(condition, what, timeout=30):
    """Polls `condition` until it gives something true; fails after `timeout`."""
    end = time.monotonic() + timeout
    while True:
        pump(0)
        try:
            value = condition()
        except Exception:  # an object that went away mid-read: read again
            value = None
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError("gave up waiting for " + what)
        pump(0.02)


def role_name(node):
    return node.getRoleName()


def descendants(node, within=lambda node: True):
    for child in node:
        if child is None:
            continue
        yield child
        if within(child):
            yield from descendants(child, within)


def find(node, role, name):
    for found in descendants(node):
        if role_name(found) == role and found.name == name:
            return found
    return None


def ancestors(node):
    node = node.parent
    while node is not None:
        yield node
        node = node.parent


def text_of(node):
    return node.queryText().getText(0, -1)


def is_panel(node):
    return role_name(node) == "panel" and node.name == WEB_PANEL


# An event as a screen reader takes it in: the source's role and name are
# read as it comes, since the source may be gone by the time it is looked at.
Event = collections.namedtuple("Event", "type detail data source role name")


class EventLog:
    """Events of the given types, as a screen reader receives them."""

    def __init__(self, *types):
        self.types = types
        self.events = []
        pyatspi.Registry.registerEventListener(self._take, *types)

    def _take(self, event):
        try:
            self.events.append(Event(event.type, event.detail1, event.any_data, event.source,
                                     role_name(event.source), event.source.name))
        except Exception:  # gone already: a screen reader would not speak it either
            pass

    def close(self):
        pyatspi.Registry.deregisterEventListener(self._take, *self.types)

    def wait(self, what, matches, timeout=30):
        """The first event since the last wait that `matches`."""
        def first():
            for index, event in enumerate(self.events):
                if matches(event):
                    del self.events[: index + 1]
                    return event
            return None
        return wait_for(first, what, timeout)

    def wait_focus(self, what, matches=lambda e: True):
        """The next object to gain the focus that `matches`."""
        return self.wait(
            "focus on " + what,
            lambda e: e.type == "object:state-changed:focused" and e.detail == 1 and matches(e))


class ProgramTest(unittest.TestCase):
    """Starts the program and finds its main window on the bus."""

    def setUp(self):
        self.log = tempfile.TemporaryFile()
        # Qt 6.4, given the accessibility bus's address outright, connects to
        # it but never announces itself there.
        env = {k: v for k, v in os.environ.items() if k != "AT_SPI_BUS_ADDRESS"}
        self.program = subprocess.Popen(
            [OPTIONS.program], env=env, stdout=self.log, stderr=subprocess.STDOUT)
        self.addCleanup(self.stop_program)
        self.focus = EventLog("object:state-changed:focused")
        self.addCleanup(self.focus.close)

        def main_window():
            for app in pyatspi.Registry.getDesktop(0):
                if app is not None and app.get_process_id() == self.program.pid:
                    for window in app:
                        if window is not None and window.name == CAPTION and \
                                role_name(window) == "frame":
                            return window
            return None
        self.window = wait_for(main_window, "the main window on the accessibility bus", 60)
        # The window is shown with the focus in the FAT32 box.
        self.focus.wait_focus(TEXT1, lambda e: e.name == TEXT1)

    def stop_program(self):
        if self.program.poll() is None:
            self.program.terminate()
            try:
                self.program.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self.program.kill()
                self.program.wait()
        self.log.seek(0)
        tail = self.log.read().decode("utf-8", "replace").splitlines()[-30:]
        self.log.close()
        if tail:
            print("--- the program's last output:\n" + "\n".join(tail), file=sys.stderr)

    def control(self, role, name):
        found = find(self.window, role, name)
        self.assertIsNotNone(found, f"{role} {name!r}")
        return found

    def wait_for_web_engine(self):
        """The panel's engine, started after the first paint, shows its page:
        only then does the panel take the focus."""
        wait_for(lambda: any(role_name(n) == "document web" for n in descendants(self.window)),
                 "the web panel's page", 60)


class MainWindowTree(ProgramTest):
    def test(self):
        self.wait_for_web_engine()
        found = [(role_name(n), n.name) for n in descendants(self.window)]
        with self.subTest("each control once, the two G and two M labels included"):
            self.assertEqual(sum(1 for entry in found if entry in CONTROLS), len(CONTROLS))
        for role, name in CONTROLS:
            with self.subTest(control=name):
                node = find(self.window, role, name)
                self.assertIsNotNone(node, f"{role} {name!r} among {found}")
                states = node.getState()
                self.assertTrue(states.contains(pyatspi.STATE_SHOWING))
                if role == "text":
                    self.assertTrue(states.contains(pyatspi.STATE_EDITABLE), "result boxes too")
                    self.assertNotEqual(node.description, "")
                if role == "push button":
                    self.assertEqual(node.queryAction().getName(0), "Press")
                    self.assertNotEqual(node.description, "")

        # Nothing that takes the focus is left without a name; the page inside
        # the panel is the engine's own. States read afresh: a widget that
        # starts taking the focus later says so by no event.
        self.window.clear_cache()
        for node in descendants(self.window, within=lambda n: not is_panel(n)):
            if node.getState().contains(pyatspi.STATE_FOCUSABLE):
                with self.subTest(focusable=role_name(node)):
                    self.assertNotEqual(node.name, "")

        menu_bar = next(n for n in self.window if role_name(n) == "menu bar")
        menu_name, items = MENU
        menu = find(menu_bar, "menu item", menu_name)
        self.assertIsNotNone(menu)
        popup = next(n for n in menu if role_name(n) == "popup menu")
        self.assertEqual(
            [(role_name(n), n.name, n.queryAction().getKeyBinding(0)) for n in popup],
            [("menu item", caption, shortcut) for caption, shortcut in items])


class TabOrder(ProgramTest):
    def test(self):
        self.wait_for_web_engine()
        in_panel = "inside " + WEB_PANEL
        for expected in (TEXT2, TEXT3, TEXT4, COMMAND1, COMMAND2, in_panel, TEXT1):
            xdotool("key", "Tab")
            # The very next focus, so that no stop in between goes unseen.
            event = self.focus.wait_focus(expected)
            if expected == in_panel:
                self.assertTrue(any(is_panel(a) for a in ancestors(event.source)),
                                f"{event.role} {event.name!r}")
            else:
                self.assertEqual(event.name, expected)
        xdotool("key", "shift+Tab")
        event = self.focus.wait_focus("the web panel, backwards")
        self.assertTrue(any(is_panel(a) for a in ancestors(event.source)),
                        f"{event.role} {event.name!r}")


class ResultIsReadable(ProgramTest):
    def test(self):
        changes = EventLog("object:text-changed:insert")
        self.addCleanup(changes.close)
        xdotool("type", "8")
        text1 = self.control("text", TEXT1)
        wait_for(lambda: text_of(text1) == "8", "8 in the FAT32 box")
        for name in (TEXT2, TEXT3, TEXT4, COMMAND1):
            xdotool("key", "Tab")
            self.assertEqual(self.focus.wait_focus(name).name, name)
        xdotool("key", "space")
        text2 = self.control("text", TEXT2)
        wait_for(lambda: text_of(text2) == "8220", "8220 in the FAT32 result box")
        # A screen reader that follows changes hears the result as it comes.
        changes.wait("8220 written into the result box",
                     lambda e: e.name == TEXT2 and e.data == "8220")
        self.assertEqual(text2.queryText().characterCount, 4)

        # The NTFS row, driven the way a screen reader's own commands do.
        text3 = self.control("text", TEXT3)
        text3.queryComponent().grabFocus()
        self.assertEqual(self.focus.wait_focus(TEXT3).name, TEXT3)
        xdotool("type", "8")
        wait_for(lambda: text_of(text3) == "8", "8 in the NTFS box")
        self.control("push button", COMMAND2).queryAction().doAction(0)
        text4 = self.control("text", TEXT4)
        wait_for(lambda: text_of(text4) == "8198", "8198 in the NTFS result box")


class HelpAndAboutTexts(ProgramTest):
    def opened(self, windows, caption):
        """The window a screen reader announces on its activation."""
        event = windows.wait(caption + " activated",
                             lambda e: e.name == caption and e.source.path != self.window.path)
        self.assertEqual(event.role, "dialog", caption)
        return event.source

    def whole_text(self, dialog, frame):
        panel = find(dialog, "panel", frame)
        self.assertIsNotNone(panel, frame)
        labels = [n for n in descendants(panel) if role_name(n) == "label"]
        self.assertEqual(len(labels), 1)
        return labels[0].name

    def test(self):
        windows = EventLog("window:activate")
        self.addCleanup(windows.close)
        xdotool("key", "ctrl+h")
        help_window = self.opened(windows, CAPTION)
        self.assertEqual(self.whole_text(help_window, "帮助"), expected.text("helpText"))

        # About from the menu item's own action, the way a screen reader's
        # menu navigation chooses it.
        menu_bar = next(n for n in self.window if role_name(n) == "menu bar")
        find(menu_bar, "menu item", "关于").queryAction().doAction(0)
        about_window = self.opened(windows, "关于")
        self.assertEqual(self.whole_text(about_window, "关于"),
                         expected.text("aboutText", OPTIONS.site))


class OverflowMessage(ProgramTest):
    def test(self):
        windows = EventLog("window:activate")
        self.addCleanup(windows.close)
        text1 = self.control("text", TEXT1)
        xdotool("type", "--delay", "2", "9" * 400)
        wait_for(lambda: text_of(text1) == "9" * 400, "400 nines in the FAT32 box")
        for name in (TEXT2, TEXT3, TEXT4, COMMAND1):
            xdotool("key", "Tab")
            self.assertEqual(self.focus.wait_focus(name).name, name)
        xdotool("key", "space")
        message = windows.wait("the error message", lambda e: e.role == "alert").source
        self.assertEqual(message.name, "Trelvik工具")
        texts = [n.name for n in descendants(message) if role_name(n) == "label"]
        self.assertIn("实时错误 '6':\n\n溢出", texts)
        self.assertIn("确定", [n.name for n in descendants(message)
                             if role_name(n) == "push button"])

        xdotool("key", "Return")
        windows.wait("the main window back", lambda e: e.name == CAPTION)
        self.assertIsNone(self.program.poll(), "the program goes on")
        self.assertEqual(text_of(self.control("text", TEXT2)), "")


def skip(reason):
    print("SKIPPED: " + reason, file=sys.stderr)
    return SKIPPED


def inside_bus(names):
    """Runs the cases on the session bus that dbus-run-session started."""
    global pyatspi, GLib
    with open(os.environ["TRELVIK_ATSPI_STARTED"], "w"):
        pass
    from gi.repository import Gio, GLib as glib
    GLib = glib
    try:
        bus = Gio.bus_get_sync(Gio.BusType.SESSION)
        address = bus.call_sync(
            "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
            GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, 30000).unpack()[0]
        # What Orca says on starting: the program switches its accessibility
        # on when it sees this, as it does on a user's desktop.
        bus.call_sync(
            "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
            GLib.Variant("(ssv)", ("org.a11y.Status", "ScreenReaderEnabled",
                                   GLib.Variant("b", True))),
            None, Gio.DBusCallFlags.NONE, 30000)
    except GLib.Error as error:
        return skip("the accessibility bus did not start: " + error.message)
    # Only this client is pointed at the bus; the program finds it through
    # the session bus, the way it does on a desktop.
    os.environ["AT_SPI_BUS_ADDRESS"] = address
    os.environ["DISPLAY"] = os.environ.pop("TRELVIK_ATSPI_DISPLAY")
    import pyatspi as atspi
    pyatspi = atspi
    return suite.run(names)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--site", required=True)
    parser.add_argument("cases", nargs="*")
    parser.parse_args(namespace=OPTIONS)
    if "TRELVIK_ATSPI_STARTED" in os.environ:
        return inside_bus(OPTIONS.cases)

    if not os.environ.get("DISPLAY") or not shutil.which("xdotool"):
        return skip("needs an X display and xdotool")
    if not shutil.which("dbus-run-session"):
        return skip("no dbus-run-session to start a session bus with")
    with tempfile.TemporaryDirectory() as scratch:
        runtime_dir = os.path.join(scratch, "runtime")
        os.mkdir(runtime_dir, 0o700)
        started = os.path.join(scratch, "started")
        env = dict(os.environ, XDG_RUNTIME_DIR=runtime_dir, TRELVIK_ATSPI_STARTED=started,
                   TRELVIK_ATSPI_DISPLAY=os.environ["DISPLAY"])
        # The buses are started without the display: the accessibility bus
        # would otherwise publish its address on the display's root window,
        # where other programs on the same display would find this test's bus.
        del env["DISPLAY"]
        env.pop("AT_SPI_BUS_ADDRESS", None)
        status = subprocess.run(
            ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__),
             *sys.argv[1:]], env=env).returncode
        if not os.path.exists(started):
            return skip(f"dbus-run-session could not start a session bus (status {status})")
        return status


if __name__ == "__main__":
    sys.exit(main())
