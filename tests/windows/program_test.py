#!/usr/bin/env python3
"""trelvik.exe from its zip, under Wine, driven by real keys and clicks sent
through the X server (xdotool), read back through the boxes' own context
menu and the clipboard (xclip). Exits 77 (skipped) when there is no zip or
no display.

    program_test.py --wine WINE64 --zip trelvik-1.2.0-win64.zip [--screenshots DIR]
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time
import zipfile

sys.stdout.reconfigure(line_buffering=True)

SKIP = 77
CAPTION = 'Trelvik工具1.2'
ABOUT = '关于'
TWIPS_PER_PIXEL = 15
MAIN_CLIENT_HEIGHT = 3870 // TWIPS_PER_PIXEL
# Left, top, width, height in twips, from the window's table.
CONTROLS = {
    'Text1': (1080, 720, 1335, 270),
    'Text2': (3600, 720, 1335, 270),
    'Text3': (1080, 1320, 1335, 270),
    'Text4': (3600, 1320, 1335, 270),
    'Command1': (2880, 720, 495, 255),
    'Command2': (2880, 1320, 495, 255),
}
# LC_ALL and Wine's settings come from the test preset, through ctest.
ENV = os.environ


def tool(*args, check=True):
    return subprocess.run(args, env=ENV, capture_output=True, text=True, check=check,
                          timeout=20).stdout


def clear_clipboard():
    # xclip stays behind to serve the text: its output must not be captured.
    subprocess.run(['xclip', '-selection', 'clipboard', '-i'], input=b'(nothing copied)',
                   env=ENV, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=20)


def windows(name):
    return tool('xdotool', 'search', '--onlyvisible', '--name', f'^{name}$', check=False).split()


def wait_for(condition, what, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.2)
    raise AssertionError(f'timed out waiting for {what}')


class Program:
    def __init__(self, wine, folder):
        self.process = subprocess.Popen([wine, 'trelvik.exe'], cwd=folder, env=ENV)
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

    def shot(self, folder, name):
        if folder:
            time.sleep(0.5)
            tool('import', '-window', 'root', os.path.join(folder, name))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--wine', required=True)
    parser.add_argument('--zip', required=True)
    parser.add_argument('--screenshots')
    args = parser.parse_args()
    if not os.path.exists(args.zip):
        print(f'skipped: {args.zip} is not built (cpack --preset windows)')
        return SKIP
    if not os.environ.get('DISPLAY'):
        print('skipped: no X display')
        return SKIP

    with tempfile.TemporaryDirectory() as folder:
        with zipfile.ZipFile(args.zip) as archive:
            archive.extractall(folder)
        program = Program(args.wine, folder)
        failures = []

        def expect(what, got, wanted):
            print(f'{what}: {got!r}')
            if got != wanted:
                failures.append(f'{what}: got {got!r}, wanted {wanted!r}')

        program.type('Text1', '8')
        program.click('Command1')
        expect('FAT32 result for 8', program.read('Text2'), '8220')
        program.type('Text3', '8')
        program.click('Command2')
        expect('NTFS result for 8', program.read('Text4'), '8198')
        program.type('Text1', 'a-, ')
        expect('FAT32 box after a letter, minus, comma, blank', program.read('Text1'), '8')
        program.shot(args.screenshots, 'windows-main-window.png')

        # The menu's shortcuts from inside a box.
        program.click('Text3')
        tool('xdotool', 'key', 'ctrl+h')
        wait_for(lambda: len(windows(CAPTION)) == 2, 'the Help window')
        program.shot(args.screenshots, 'windows-help-window.png')
        help_window = [w for w in windows(CAPTION) if w != program.window][0]
        tool('wmctrl', '-i', '-c', hex(int(help_window)))
        wait_for(lambda: len(windows(CAPTION)) == 1, 'the Help window to close')
        program.click('Text3')
        tool('xdotool', 'key', 'ctrl+s')
        wait_for(lambda: windows(ABOUT), 'the About window')
        program.shot(args.screenshots, 'windows-about-window.png')
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
            failures.append(f'no Overflow message in {message!r}')
        tool('xdotool', 'key', 'Return')
        wait_for(lambda: [w for w in windows('Trelvik工具') if w != program.window] == [],
                 'the message to close')
        if program.process.poll() is not None:
            failures.append('the program ended after the run-time error')
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

    for failure in failures:
        print('FAILED:', failure)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
