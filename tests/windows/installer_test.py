#!/usr/bin/env python3
"""trelvik-<version>-setup.exe under Wine, in a Wine prefix of its own, as a
user runs it: a silent install (/S) gives the program's files, the
Start-menu shortcut and the entry among the installed programs; the
installed program starts; a silent uninstall takes away all of it, and only
it.

    installer_test.py --wine WINE64 --setup trelvik-1.2.0-setup.exe
                      --zip trelvik-1.2.0-win64.zip --version 1.2.0 [CASE...]
"""
import argparse
import os
import subprocess
import sys
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'support'))
import suite  # noqa: E402
from expected import CAPTION, EXPECTED  # noqa: E402
from wine_program import Prefix, WineTestCase  # noqa: E402
from x_tools import wait_for, windows  # noqa: E402

UNINSTALL_KEY = r'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Trelvik'


def wine():
    return suite.options.wine


def shipped():
    """The files of the zip, which the installer carries too, beside its
    own uninstaller."""
    with zipfile.ZipFile(suite.options.zip) as archive:
        return [name for name in archive.namelist() if not name.endswith('/')] + ['uninstall.exe']


# What a Windows user downloads, at most, in bytes: users judge a small
# utility by it, and a Qt feature or a library let back in shows here first.
MAX_DOWNLOAD = {'trelvik.exe': 10_000_000, 'zip': 5_000_000, 'setup': 4_500_000}


class Installer(WineTestCase):
    def test_the_download_stays_small(self):
        with zipfile.ZipFile(suite.options.zip) as archive:
            exe = archive.getinfo('trelvik.exe').file_size
        sizes = {'trelvik.exe': exe, 'zip': os.path.getsize(suite.options.zip),
                 'setup': os.path.getsize(suite.options.setup)}
        for what, size in sizes.items():
            with self.subTest(what):
                self.assertLessEqual(size, MAX_DOWNLOAD[what])

    def install(self):
        """setup.exe /S in a new prefix: (setup, prefix, install folder)."""
        setup = os.path.abspath(suite.options.setup)
        self.assertTrue(os.path.exists(setup), f'the build made no {setup}')
        prefix = Prefix(wine())
        self.addCleanup(prefix.close)
        self.assertEqual(prefix.wine(setup, '/S').returncode, 0)
        folder = prefix.path('users/*/AppData/Local/Programs/Trelvik')
        self.assertIsNotNone(folder, 'nothing in %LOCALAPPDATA%\\Programs\\Trelvik')
        return setup, prefix, folder

    def test_silent_install_start_and_silent_uninstall(self):
        installed = shipped()
        _, prefix, folder = self.install()
        for name in installed:
            self.assertTrue(os.path.isfile(os.path.join(folder, name)), name)
        name = EXPECTED['programName']
        shortcut = f'users/*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/{name}.lnk'
        self.assertIsNotNone(prefix.path(shortcut), 'no Start-menu shortcut')
        entry = prefix.registry(UNINSTALL_KEY)
        self.assertIsNotNone(entry, 'no uninstall entry')
        self.assertEqual(entry.get('DisplayName'), name)
        self.assertEqual(entry.get('DisplayVersion'), suite.options.version)
        self.assertEqual(entry.get('Publisher'), EXPECTED['versionStrings']['CompanyName'])
        self.assertTrue(entry.get('DisplayIcon', '').lower().endswith('\\trelvik.exe,0'), entry)
        self.assertGreater(int(entry.get('EstimatedSize', '0')), 1000, 'size in KB')
        self.assertIn('uninstall.exe', entry.get('QuietUninstallString', ''))

        # The installed program, started from where it was installed.
        program = prefix.start(os.path.join(folder, 'trelvik.exe'))
        try:
            window = wait_for(lambda: windows(CAPTION), 'the installed program\'s window', 90)
            subprocess.run(['wmctrl', '-i', '-c', hex(int(window[0]))], check=False)
            self.assertEqual(program.wait(30), 0)
        finally:
            if program.poll() is None:
                program.kill()

        # A file of the user's own in the folder is not the uninstaller's.
        own = os.path.join(folder, 'notes.txt')
        with open(own, 'w') as f:
            f.write('mine')
        self.assertEqual(prefix.wine(os.path.join(folder, 'uninstall.exe'), '/S').returncode, 0)
        # The uninstaller runs on from a copy of itself, to remove itself too.
        wait_for(lambda: not os.path.exists(os.path.join(folder, 'uninstall.exe')),
                 'the uninstaller to finish')
        for name in installed:
            self.assertFalse(os.path.exists(os.path.join(folder, name)), name)
        self.assertFalse(os.path.exists(os.path.join(folder, 'licenses')))
        self.assertIsNone(prefix.path(shortcut), 'the shortcut is left')
        self.assertIsNone(prefix.registry(UNINSTALL_KEY), 'the uninstall entry is left')
        self.assertTrue(os.path.exists(own), 'the user\'s own file went too')

    def test_a_running_trelvik_is_left_as_it_is(self):
        installed = shipped()
        setup, prefix, folder = self.install()
        uninstaller = os.path.join(folder, 'uninstall.exe')

        program = prefix.start(os.path.join(folder, 'trelvik.exe'))
        self.addCleanup(lambda: program.poll() is None and program.kill())
        window = wait_for(lambda: windows(CAPTION), 'the installed program\'s window', 90)[0]
        before = {name: os.stat(os.path.join(folder, name)).st_mtime_ns for name in installed}

        # Silent: nothing changes, and the exit code says so. The uninstaller
        # is waited for where it is (_?=), as scripts run it to learn its code.
        self.assertEqual(prefix.wine(setup, '/S').returncode, 2, 'setup over a running Trelvik')
        self.assertEqual(prefix.wine(uninstaller, '/S', f'_?={folder_in_wine(folder)}').returncode,
                         2, 'uninstall under a running Trelvik')
        after = {name: os.stat(os.path.join(folder, name)).st_mtime_ns
                 for name in installed if os.path.exists(os.path.join(folder, name))}
        self.assertEqual(after, before, 'the installed files changed')
        self.assertIsNotNone(prefix.registry(UNINSTALL_KEY), 'the uninstall entry went')

        subprocess.run(['wmctrl', '-i', '-c', hex(int(window))], check=False)
        self.assertEqual(program.wait(30), 0)
        self.assertEqual(prefix.wine(uninstaller, '/S').returncode, 0)
        wait_for(lambda: not os.path.exists(uninstaller), 'the uninstaller to finish')
        self.assertEqual([name for name in installed
                          if os.path.exists(os.path.join(folder, name))], [])
        self.assertFalse(os.path.exists(folder), 'the folder is left')


def folder_in_wine(folder):
    """`folder` as Wine's Z: drive names it."""
    return 'Z:' + folder.replace('/', '\\')


if __name__ == '__main__':
    parser = argparse.ArgumentParser()
    parser.add_argument('--wine', required=True)
    parser.add_argument('--setup', required=True)
    parser.add_argument('--zip', required=True)
    parser.add_argument('--version', required=True)
    suite.main(parser)
