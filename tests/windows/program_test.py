#!/usr/bin/env python3
"""trelvik.exe from its zip, under Wine, driven by real keys and clicks sent
through the X server (xdotool), read back through the boxes' own context
menu and the clipboard (xclip). Exits 77 (skipped) when there is no zip or
no display.

    program_test.py --wine WINE64 --zip trelvik-1.2.0-win64.zip --styles window_styles.exe
                    --recorder loaded_recorder.dll [--screenshots DIR]

The whole run has a DLL that records being loaded lying beside the programs
under the name of each DLL they import that Windows would look for there,
and Wine told to prefer such a DLL to its own, as Windows does: none of them
may be loaded.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

sys.stdout.reconfigure(line_buffering=True)

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'support'))
from expected import CAPTION, EXPECTED  # noqa: E402
from pe_imports import imported_dlls, searched_beside_the_program  # noqa: E402
from x_tools import tool, wait_for, windows  # noqa: E402

SKIP = 77
ABOUT = '关于'
TWIPS_PER_PIXEL = 15
MAIN_CLIENT_HEIGHT = EXPECTED['mainClientTwips'][3] // TWIPS_PER_PIXEL
# Left, top, width, height in twips.
CONTROLS = EXPECTED['controlTwips']
# LC_ALL and Wine's settings come from the test preset, through ctest; the
# Wine to run the programs with from the command line.
WINE = None
WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX = 0x00040000, 0x00020000, 0x00010000


def clear_clipboard():
    # xclip stays behind to serve the text: its output must not be captured.
    subprocess.run(['xclip', '-selection', 'clipboard', '-i'], input=b'(nothing copied)',
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=20)


FAILURES = []


def expect(what, got, wanted):
    """Says what was seen; what differs fails the test at the end."""
    print(f'{what}: {got!r}')
    if got != wanted:
        FAILURES.append(f'{what}: got {got!r}, wanted {wanted!r}')


def report():
    for failure in FAILURES:
        print('FAILED:', failure)
    return 1 if FAILURES else 0


def ready(built):
    """Whether the test can run: `built` is there, and an X display."""
    if not os.path.exists(built):
        print(f'skipped: {built} is not built')
        return False
    if not os.environ.get('DISPLAY'):
        print('skipped: no X display')
        return False
    return True


def styles(styles_exe, title):
    """The Win32 styles of the visible windows titled `title`, as Windows
    has them (read by window_styles.exe under the same Wine server)."""
    out = subprocess.run([WINE, styles_exe], capture_output=True,
                         timeout=60).stdout.decode('utf-8', errors='replace')
    return sorted(int(line[:8], 16) for line in out.splitlines() if line[9:] == title)


def frame(style):
    """What a window's frame offers: sizing border, minimize, maximize."""
    return (bool(style & WS_THICKFRAME), bool(style & WS_MINIMIZEBOX),
            bool(style & WS_MAXIMIZEBOX))


def plant_recorders(folder, recorder, programs):
    """Puts a copy of `recorder` beside the programs for each DLL they import,
    delay-load or load by name that Windows would look for beside them;
    returns the environment that makes Wine prefer those copies, and their
    names."""
    # The web panel loads these two by name, not through an import table.
    dlls = {'atl.dll', 'wininet.dll'}
    for program in programs:
        imports, delayed = imported_dlls(os.path.join(folder, program))
        dlls.update(searched_beside_the_program(imports + delayed))
    for dll in dlls:
        shutil.copy(recorder, os.path.join(folder, dll))
    env = dict(os.environ)
    names = ','.join(sorted(dll[:-len('.dll')] for dll in dlls))
    overrides = [o for o in [env.get('WINEDLLOVERRIDES', ''), f'{names}=n,b'] if o]
    env['WINEDLLOVERRIDES'] = ';'.join(overrides)
    return env, sorted(dlls)


class Program:
    def __init__(self, folder, exe='trelvik.exe', env=None):
        self.process = subprocess.Popen([WINE, exe], cwd=folder, env=env)
        self.window = wait_for(lambda: windows(CAPTION), f'the window "{CAPTION}"', 90)[0]
        tool('xdotool', 'windowactivate', self.window, check=False)
        time.sleep(1)

    def origin(self):
        """Where the calculator's client area starts on the screen: below
        the menu bar, at the bottom of the window."""
        # xwininfo, not xdotool's getwindowgeometry: under a window manager
        # that reparents, xdotool adds the frame's offset once too often.
        out = tool('xwininfo', '-id', self.window)
        g = {key.strip(): int(value) for key, value in
             (line.split(':') for line in out.splitlines()
              if line.strip().startswith(('Absolute', 'Height')))}
        return (g['Absolute upper-left X'],
                g['Absolute upper-left Y'] + g['Height'] - MAIN_CLIENT_HEIGHT)

    def click(self, control, button=1):
        x, y = self.origin()
        left, top, width, height = CONTROLS[control]
        tool('xdotool', 'mousemove', str(x + (left + width // 2) // TWIPS_PER_PIXEL),
             str(y + (top + height // 2) // TWIPS_PER_PIXEL))
        # Wine takes a click only once it has seen the pointer arrive.
        time.sleep(0.3)
        tool('xdotool', 'click', str(button))
        time.sleep(0.3)

    def type(self, control, text):
        self.click(control)
        tool('xdotool', 'key', 'End')
        tool('xdotool', 'type', '--delay', '5', text)
        time.sleep(0.3)

    def read(self, control):
        """The box's text, copied through its own context menu."""
        clear_clipboard()
        self.click(control)
        tool('xdotool', 'key', 'End', 'shift+Home')
        self.click(control, 3)
        tool('xdotool', 'key', 'c')  # 复制(&C)
        time.sleep(0.5)
        return tool('xclip', '-selection', 'clipboard', '-o', check=False)

    def colour(self, control, x, y):
        """The colour drawn at twips (x, y) of a control, as #RRGGBB."""
        left, top, _, _ = CONTROLS[control]
        ox, oy = self.origin()
        at = f'1x1+{ox + (left + x) // TWIPS_PER_PIXEL}+{oy + (top + y) // TWIPS_PER_PIXEL}'
        out = tool('import', '-window', 'root', '-crop', at, '-depth', '8', 'txt:-')
        found = re.search(r'#([0-9A-Fa-f]{6})\b', out)
        return found.group(1).upper() if found else out

    def expect_worked_example(self, where=''):
        """8 typed into both rows gives 8220 and 8198, with real keys."""
        self.type('Text1', '8')
        self.click('Command1')
        expect(f'FAT32 result for 8{where}', self.read('Text2'), '8220')
        self.type('Text3', '8')
        self.click('Command2')
        expect(f'NTFS result for 8{where}', self.read('Text4'), '8198')

    def size(self):
        out = tool('xwininfo', '-id', self.window)
        return [line.split(':')[1].strip() for line in out.splitlines()
                if line.strip().startswith(('Width', 'Height'))]

    def shot(self, folder, name):
        if folder:
            time.sleep(0.5)
            tool('import', '-window', 'root', os.path.join(folder, name))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--wine', required=True)
    parser.add_argument('--zip', required=True)
    parser.add_argument('--styles', required=True)
    parser.add_argument('--recorder', required=True)
    parser.add_argument('--screenshots')
    args = parser.parse_args()
    global WINE
    WINE = args.wine
    if not ready(args.zip):
        return SKIP

    with tempfile.TemporaryDirectory() as folder:
        with zipfile.ZipFile(args.zip) as archive:
            archive.extractall(folder)

        # One file to run: nothing beside it that it needs.
        expect('DLLs in the zip', [name for name in os.listdir(folder)
                                   if name.lower().endswith('.dll')], [])
        env, planted = plant_recorders(folder, args.recorder, ['trelvik.exe', 'trelvik-calc.exe'])
        print(f'planted beside the programs: {" ".join(planted)}')
        calc = subprocess.run([WINE, 'trelvik-calc.exe', '8'], cwd=folder, env=env,
                              capture_output=True, timeout=120)
        out = calc.stdout.decode('utf-8', errors='replace')
        expect('trelvik-calc.exe 8 beside the planted DLLs gives 8220 and 8198',
               ('8220' in out, '8198' in out), (True, True))
        program = Program(folder, env=env)

        # No sizing border and no maximize box; the main window can be
        # minimized, Help and About cannot.
        expect('main window frame (sizing, minimize, maximize)',
               [frame(style) for style in styles(args.styles, CAPTION)],
               [(False, True, False)])
        size = program.size()
        tool('wmctrl', '-i', '-r', hex(int(program.window)), '-b',
             'add,maximized_vert,maximized_horz', check=False)
        time.sleep(1)
        expect('main window size after asking to maximize it', program.size(), size)

        program.expect_worked_example()
        program.type('Text1', 'a-, ')
        expect('FAT32 box after a letter, minus, comma, blank', program.read('Text1'), '8')
        program.shot(args.screenshots, 'windows-main-window.png')

        # The menu's shortcuts from inside a box.
        program.click('Text3')
        tool('xdotool', 'key', 'ctrl+h')
        wait_for(lambda: len(windows(CAPTION)) == 2, 'the Help window')
        program.shot(args.screenshots, 'windows-help-window.png')
        expect('main and Help window frames',
               sorted(frame(style) for style in styles(args.styles, CAPTION)),
               [(False, False, False), (False, True, False)])
        help_window = [w for w in windows(CAPTION) if w != program.window][0]
        tool('wmctrl', '-i', '-c', hex(int(help_window)))
        wait_for(lambda: len(windows(CAPTION)) == 1, 'the Help window to close')
        program.click('Text3')
        tool('xdotool', 'key', 'ctrl+s')
        wait_for(lambda: windows(ABOUT), 'the About window')
        program.shot(args.screenshots, 'windows-about-window.png')
        expect('About window frame', [frame(style) for style in styles(args.styles, ABOUT)],
               [(False, False, False)])
        tool('wmctrl', '-i', '-c', hex(int(windows(ABOUT)[0])))
        wait_for(lambda: not windows(ABOUT), 'the About window to close')

        # 400 digits: the Chinese Overflow message, copied from the box with
        # Ctrl+C as Windows message boxes allow, and the program goes on.
        program.type('Text1', '9' * 400)
        program.click('Command1')
        box = wait_for(lambda: [w for w in windows('Trelvik工具') if w != program.window],
                       'the run-time error message')[0]
        tool('xdotool', 'windowactivate', box, check=False)
        clear_clipboard()
        tool('xdotool', 'key', 'ctrl+c')
        time.sleep(0.5)
        message = tool('xclip', '-selection', 'clipboard', '-o', check=False)
        print(f'message box: {message!r}')
        if "实时错误 '6':" not in message or '溢出' not in message:
            FAILURES.append(f'no Overflow message in {message!r}')
        tool('xdotool', 'key', 'Return')
        wait_for(lambda: [w for w in windows('Trelvik工具') if w != program.window] == [],
                 'the message to close')
        if program.process.poll() is not None:
            FAILURES.append('the program ended after the run-time error')
        else:
            program.type('Text3', '0')  # Text3 now holds 80
            program.click('Command2')
            expect('NTFS result for 80 after the error', program.read('Text4'), '81926')

        tool('xdotool', 'windowactivate', program.window, check=False)
        program.click('Text1')
        tool('xdotool', 'key', 'ctrl+x')
        try:
            status = program.process.wait(30)
        except subprocess.TimeoutExpired:
            program.process.kill()
            status = 'still running'
        expect('exit status after Ctrl+X', status, 0)
        expect('planted DLLs that were loaded',
               sorted(name[:-len('.loaded')] for name in os.listdir(folder)
                      if name.endswith('.loaded')), [])

    return report()


if __name__ == '__main__':
    sys.exit(main())
