"""The Windows program under Wine as the Wine suites drive it: real keys and
clicks through the X server (xdotool) at the places expected.json gives,
each box read back through its own context menu and the clipboard (xclip).
Every step waits for what it brings about, with a deadline that names it."""
import glob
import os
import re
import shutil
import subprocess
import tempfile
import unittest

from expected import CAPTION, EXPECTED
from x_tools import active_window, tool, wait_for, windows

TWIPS_PER_PIXEL = 15
MAIN_CLIENT_HEIGHT = EXPECTED['mainClientTwips'][3] // TWIPS_PER_PIXEL
# Left, top, width, height in twips.
CONTROLS = EXPECTED['controlTwips']
NOTHING_COPIED = '(nothing copied)'


def clear_clipboard():
    # xclip stays behind to serve the text: its output must not be captured.
    subprocess.run(['xclip', '-selection', 'clipboard', '-i'], input=NOTHING_COPIED.encode(),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=20)
    wait_for(lambda: clipboard() == NOTHING_COPIED, 'the clipboard to be cleared')


def clipboard():
    return tool('xclip', '-selection', 'clipboard', '-o', check=False)


def copied(what):
    """What was copied to the clipboard since it was cleared; the marker of
    nothing copied when nothing came, for the caller's check to show."""
    try:
        return wait_for(lambda: (text := clipboard()) != NOTHING_COPIED and text, what, 10)
    except AssertionError:
        return clipboard()


def move_pointer(x, y):
    """Moves the pointer to (x, y) on the screen and waits until it is there:
    Wine takes a click only where it has seen the pointer arrive."""
    # xdotool's --sync waits for a move, and so for ever when the pointer is
    # there already.
    if tool('xdotool', 'getmouselocation').split()[:2] != [f'x:{x}', f'y:{y}']:
        tool('xdotool', 'mousemove', '--sync', str(x), str(y))


class WineTestCase(unittest.TestCase):
    """A case that needs an X display and Wine; checks made with `expect`
    all run, and each one that differs fails the case."""

    def setUp(self):
        if not os.environ.get('DISPLAY'):
            self.skipTest('no X display')

    def expect(self, what, got, wanted):
        print(f'{what}: {got!r}')
        with self.subTest(what):
            self.assertEqual(got, wanted)


class Program:
    """trelvik.exe, or a program built as it is, started under Wine in
    `folder`, its main window on the screen and active."""

    def __init__(self, wine, folder, exe='trelvik.exe', env=None):
        self.process = subprocess.Popen([wine, exe], cwd=folder, env=env)
        self.window = wait_for(lambda: windows(CAPTION), f'the window "{CAPTION}"', 90)[0]
        self.activate()

    def activate(self, window=None):
        window = window or self.window
        tool('xdotool', 'windowactivate', window, check=False)
        wait_for(lambda: active_window() == window, f'window {window} to become active')

    def geometry(self):
        """xwininfo's figures of the main window, by name ('Width', ...)."""
        # xwininfo, not xdotool's getwindowgeometry: under a window manager
        # that reparents, xdotool adds the frame's offset once too often.
        return {key.strip(): value.strip() for key, _, value in
                (line.partition(':') for line in tool('xwininfo', '-id', self.window).splitlines())}

    def origin(self):
        """Where the calculator's client area starts on the screen: below
        the menu bar, at the bottom of the window."""
        g = self.geometry()
        return (int(g['Absolute upper-left X']), int(g['Absolute upper-left Y'])
                + int(g['Height']) - MAIN_CLIENT_HEIGHT)

    def click(self, control, button=1):
        x, y = self.origin()
        left, top, width, height = CONTROLS[control]
        move_pointer(x + (left + width // 2) // TWIPS_PER_PIXEL,
                     y + (top + height // 2) // TWIPS_PER_PIXEL)
        tool('xdotool', 'click', str(button))

    def type(self, control, text):
        self.click(control)
        tool('xdotool', 'key', 'End')
        tool('xdotool', 'type', '--delay', '5', text)

    def read(self, control):
        """The box's text, copied through its own context menu."""
        clear_clipboard()
        self.click(control)
        tool('xdotool', 'key', 'End', 'shift+Home')
        self.click(control, 3)
        tool('xdotool', 'key', 'c')  # 复制(&C)
        return copied(f'the text of {control} on the clipboard')

    def colour(self, control, x, y):
        """The colour drawn at twips (x, y) of a control, as #RRGGBB."""
        left, top, _, _ = CONTROLS[control]
        ox, oy = self.origin()
        at = f'1x1+{ox + (left + x) // TWIPS_PER_PIXEL}+{oy + (top + y) // TWIPS_PER_PIXEL}'
        out = tool('import', '-window', 'root', '-crop', at, '-depth', '8', 'txt:-')
        found = re.search(r'#([0-9A-Fa-f]{6})\b', out)
        return found.group(1).upper() if found else out

    def expect_worked_example(self, case, where=''):
        """8 typed into both rows gives 8220 and 8198, with real keys."""
        self.type('Text1', '8')
        self.click('Command1')
        case.expect(f'FAT32 result for 8{where}', self.read('Text2'), '8220')
        self.type('Text3', '8')
        self.click('Command2')
        case.expect(f'NTFS result for 8{where}', self.read('Text4'), '8198')

    def size(self):
        g = self.geometry()
        return [g['Width'], g['Height']]

    def end_with_ctrl_x(self):
        """The exit status once Ctrl+X, pressed in the first box, ended it."""
        self.activate()
        self.click('Text1')
        tool('xdotool', 'key', 'ctrl+x')
        try:
            return self.process.wait(60)
        except subprocess.TimeoutExpired:
            return 'still running'

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class Prefix:
    """A new Wine prefix. Wine's own services are started with their output
    on /dev/null, so that none keeps ctest's pipe open."""

    def __init__(self, wine, registry=()):
        """`registry`: (key, value name, DWORD) set before anything starts."""
        self.wine_program = wine
        self.folder = tempfile.mkdtemp(prefix='trelvik-wine-')
        # The rest of Wine's settings come from the test preset.
        self.env = dict(os.environ, WINEPREFIX=self.folder)
        self.wine('wineboot', '--init')
        for key, name, value in registry:
            self.wine('reg', 'add', key, '/v', name, '/t', 'REG_DWORD', '/d', str(value), '/f')
        if registry:
            # Written out as the server ends; read by the programs started next.
            self.server('-k')
            self.server('-w')

    def wine(self, *args, timeout=120):
        return subprocess.run([self.wine_program, *args], env=self.env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=timeout)

    def start(self, *args):
        return subprocess.Popen([self.wine_program, *args], env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def path(self, pattern):
        """The one path in the prefix's C: drive that matches `pattern`."""
        found = glob.glob(os.path.join(self.folder, 'drive_c', pattern))
        return found[0] if found else None

    def registry(self, key):
        """The values of `key` (name: data), or None when there is no key.
        Exported as a .reg file, UTF-16, where `reg query` would write the
        Chinese in the console's code page."""
        exported = os.path.join(self.folder, 'drive_c', 'key.reg')
        if self.wine('reg', 'export', key, 'C:\\key.reg', '/y').returncode != 0:
            return None
        with open(exported, 'rb') as f:
            text = f.read().decode('utf-16')
        os.remove(exported)
        values = {}
        for line in text.splitlines():
            name, equals, data = line.partition('=')
            if not equals or not name.startswith('"'):
                continue
            data = data.strip()
            if data.startswith('dword:'):
                values[name.strip('"')] = str(int(data[6:], 16))
            else:
                values[name.strip('"')] = data.strip('"').replace('\\\\', '\\').replace('\\"', '"')
        return values

    def server(self, *args):
        """This prefix's own Wine server, not the one of the run's Wine folder."""
        server = os.path.join(os.path.dirname(self.wine_program), 'wineserver')
        subprocess.run([server, *args], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)

    def close(self):
        self.server('-k')
        self.server('-w')
        shutil.rmtree(self.folder, ignore_errors=True)
