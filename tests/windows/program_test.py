#!/usr/bin/env python3
"""trelvik.exe from its zip, under Wine, driven by real keys and clicks sent
through the X server (xdotool), read back through the boxes' own context
menu and the clipboard (xclip).

    program_test.py --wine WINE64 --zip trelvik-1.2.0-win64.zip --styles window_styles.exe
                    --recorder loaded_recorder.dll [--screenshots DIR] [CASE...]
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'support'))
import suite  # noqa: E402
from expected import CAPTION, EXPECTED  # noqa: E402
from pe_imports import imported_dlls, searched_beside_the_program  # noqa: E402
from wine_program import Program, WineTestCase, clear_clipboard, copied  # noqa: E402
from x_tools import tool, wait_for, windows, wm_settled  # noqa: E402

ABOUT = '关于'
WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX = 0x00040000, 0x00020000, 0x00010000


def styles(title):
    """The Win32 styles of the visible windows titled `title`, as Windows
    has them (read by window_styles.exe under the same Wine server)."""
    out = subprocess.run([suite.options.wine, suite.options.styles], capture_output=True,
                         timeout=60).stdout.decode('utf-8', errors='replace')
    return sorted(int(line[:8], 16) for line in out.splitlines() if line[9:] == title)


def frame(style):
    """What a window's frame offers: sizing border, minimize, maximize."""
    return (bool(style & WS_THICKFRAME), bool(style & WS_MINIMIZEBOX),
            bool(style & WS_MAXIMIZEBOX))


def shot(name):
    """A screenshot for docs/, when asked for one (--screenshots)."""
    if suite.options.screenshots:
        time.sleep(0.5)  # the window painted; not a check, only a picture
        tool('import', '-window', 'root', os.path.join(suite.options.screenshots, name))


def unpacked(case):
    """The zip unpacked into a folder of the case's own."""
    folder = tempfile.mkdtemp(prefix='trelvik-zip-')
    case.addCleanup(lambda: subprocess.run(['rm', '-rf', folder]))
    with zipfile.ZipFile(suite.options.zip) as archive:
        archive.extractall(folder)
    return folder


def plant_recorders(folder, programs):
    """Puts a DLL that records being loaded beside the programs under the
    name of each DLL they import, delay-load or load by name that Windows
    would look for beside them; returns the environment that makes Wine
    prefer such a DLL to its own, as Windows does, and the names."""
    # The web panel loads these by name, not through an import table.
    dlls = {'atl.dll', 'urlmon.dll', 'wininet.dll'}
    for program in programs:
        imports, delayed = imported_dlls(os.path.join(folder, program))
        dlls.update(searched_beside_the_program(imports + delayed))
    for dll in dlls:
        shutil.copy(suite.options.recorder, os.path.join(folder, dll))
    env = dict(os.environ)
    names = ','.join(sorted(dll[:-len('.dll')] for dll in dlls))
    env['WINEDLLOVERRIDES'] = ';'.join(
        o for o in [env.get('WINEDLLOVERRIDES', ''), f'{names}=n,b'] if o)
    return env, sorted(dlls)


class ProgramFromZip(WineTestCase):
    def test_no_dll_is_taken_from_beside_the_programs(self):
        folder = unpacked(self)
        env, planted = plant_recorders(folder, ['trelvik.exe', 'trelvik-calc.exe'])
        print(f'planted beside the programs: {" ".join(planted)}')
        calc = subprocess.run([suite.options.wine, 'trelvik-calc.exe', '8'], cwd=folder, env=env,
                              capture_output=True, timeout=120)
        out = calc.stdout.decode('utf-8', errors='replace')
        self.expect('trelvik-calc.exe 8 gives 8220 and 8198', ('8220' in out, '8198' in out),
                    (True, True))
        program = Program(suite.options.wine, folder, env=env)
        self.addCleanup(program.stop)
        program.expect_worked_example(self)
        self.expect('exit status after Ctrl+X', program.end_with_ctrl_x(), 0)
        self.expect('planted DLLs that were loaded',
                    sorted(name[:-len('.loaded')] for name in os.listdir(folder)
                           if name.endswith('.loaded')), [])

    def test_keys_windows_error_and_exit(self):
        folder = unpacked(self)

        # One file to run: nothing beside it that it needs.
        self.expect('DLLs in the zip', [name for name in os.listdir(folder)
                                        if name.lower().endswith('.dll')], [])
        program = Program(suite.options.wine, folder)
        self.addCleanup(program.stop)

        # No sizing border and no maximize box; the main window can be
        # minimized, Help and About cannot.
        self.expect('main window frame (sizing, minimize, maximize)',
                    [frame(style) for style in styles(CAPTION)], [(False, True, False)])
        size = program.size()
        tool('wmctrl', '-i', '-r', hex(int(program.window)), '-b',
             'add,maximized_vert,maximized_horz', check=False)
        wm_settled(program.window)
        self.expect('main window size after asking to maximize it', program.size(), size)

        program.expect_worked_example(self)
        program.type('Text1', 'a-, ')
        self.expect('FAT32 box after a letter, minus, comma, blank', program.read('Text1'), '8')
        shot('windows-main-window.png')

        # The menu's shortcuts from inside a box.
        program.click('Text3')
        tool('xdotool', 'key', 'ctrl+h')
        wait_for(lambda: len(windows(CAPTION)) == 2, 'the Help window')
        shot('windows-help-window.png')
        self.expect('main and Help window frames',
                    sorted(frame(style) for style in styles(CAPTION)),
                    [(False, False, False), (False, True, False)])
        help_window = [w for w in windows(CAPTION) if w != program.window][0]
        tool('wmctrl', '-i', '-c', hex(int(help_window)))
        wait_for(lambda: len(windows(CAPTION)) == 1, 'the Help window to close')
        program.activate()
        program.click('Text3')
        tool('xdotool', 'key', 'ctrl+s')
        wait_for(lambda: windows(ABOUT), 'the About window')
        shot('windows-about-window.png')
        self.expect('About window frame', [frame(style) for style in styles(ABOUT)],
                    [(False, False, False)])
        tool('wmctrl', '-i', '-c', hex(int(windows(ABOUT)[0])))
        wait_for(lambda: not windows(ABOUT), 'the About window to close')
        program.activate()

        # 400 digits: the Chinese Overflow message, copied from the box with
        # Ctrl+C as Windows message boxes allow, and the program goes on.
        program.type('Text1', '9' * 400)
        program.click('Command1')
        name = EXPECTED['programName']
        box = wait_for(lambda: [w for w in windows(name) if w != program.window],
                       'the run-time error message')[0]
        program.activate(box)
        clear_clipboard()
        tool('xdotool', 'key', 'ctrl+c')
        message = copied('the message copied to the clipboard')
        print(f'message box: {message!r}')
        with self.subTest('the Overflow message'):
            self.assertIn("实时错误 '6':", message)
            self.assertIn('溢出', message)
        tool('xdotool', 'key', 'Return')
        wait_for(lambda: [w for w in windows(name) if w != program.window] == [],
                 'the message to close')
        self.assertIsNone(program.process.poll(), 'the program ended after the run-time error')
        program.activate()
        program.type('Text3', '0')  # Text3 now holds 80
        program.click('Command2')
        self.expect('NTFS result for 80 after the error', program.read('Text4'), '81926')

        self.expect('exit status after Ctrl+X', program.end_with_ctrl_x(), 0)


if __name__ == '__main__':
    parser = argparse.ArgumentParser()
    parser.add_argument('--wine', required=True)
    parser.add_argument('--zip', required=True)
    parser.add_argument('--styles', required=True)
    parser.add_argument('--recorder', required=True)
    parser.add_argument('--screenshots')
    suite.main(parser)
