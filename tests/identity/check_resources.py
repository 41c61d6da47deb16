#!/usr/bin/env python3
"""The icon, version record and manifest read back from trelvik.exe with
icoutils' wrestool: what Explorer shows for the program, and what Windows is
told when it starts it. Given trelvik-calc.exe too, its manifest, and the
DLLs both import or delay-load: only Windows' own, from System32. Given the
resource script instead of the program, compiles it with windres (the host's cpp: it needs no
Windows headers) and links it into an executable of its own with the same
binutils' ld, so the record is checked on Linux too.

    check_resources.py (--exe trelvik.exe [--calc-exe trelvik-calc.exe]
                        | --rc trelvik.rc --windres WINDRES)
                       --ico trelvik.ico --site http://www.qinvo.example
"""
import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'support'))
import suite  # noqa: E402
from expected import EXPECTED  # noqa: E402
from pe_imports import dependent_load_flags, imported_dlls  # noqa: E402

CHINESE_SIMPLIFIED = 2052
ICON, GROUP_ICON, VERSION, MANIFEST = 3, 14, 16, 24
LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800
WINDOWS_10_AND_11 = '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'
# DLLs that every Windows 10 and 11 has in its system folder, besides its
# API sets (api-ms-win-*).
WINDOWS_DLLS = {
    'advapi32.dll', 'authz.dll', 'bcrypt.dll', 'comctl32.dll', 'comdlg32.dll', 'crypt32.dll',
    'd3d11.dll', 'd3d12.dll', 'd3d9.dll', 'dwmapi.dll', 'dwrite.dll', 'dxgi.dll', 'gdi32.dll',
    'imm32.dll', 'kernel32.dll', 'msvcrt.dll', 'netapi32.dll', 'ntdll.dll', 'ole32.dll',
    'oleaut32.dll', 'setupapi.dll', 'shcore.dll', 'shell32.dll', 'shlwapi.dll', 'user32.dll',
    'userenv.dll', 'uxtheme.dll', 'version.dll', 'winmm.dll', 'ws2_32.dll', 'wtsapi32.dll',
    'mpr.dll', 'winspool.drv', 'oleacc.dll', 'uiautomationcore.dll',
}

ARGS = None


def listed():
    """(type, name, language) of every resource in the executable; the script
    names every resource by number, so a name given as text is a fault."""
    out = subprocess.run(['wrestool', '-l', ARGS.exe], check=True, capture_output=True,
                         text=True).stdout
    entries = []
    for line in out.splitlines():
        m = re.match(r'--type=(\d+) --name=(\d+) --language=(\d+) ', line)
        if not m:
            raise AssertionError(f'resource not named by number: {line}')
        entries.append(tuple(int(v) for v in m.groups()))
    return entries


def raw(resource_type, name, exe=None):
    return subprocess.run(['wrestool', '-x', '--raw', f'--type={resource_type}',
                           f'--name={name}', exe or ARGS.exe], check=True,
                          capture_output=True).stdout


def manifest(exe):
    """The manifest's elements by local name: (attributes, text) of each."""
    found = {}
    for element in ElementTree.fromstring(raw(MANIFEST, 1, exe)).iter():
        found.setdefault(element.tag.split('}')[-1], []).append(
            (element.attrib, (element.text or '').strip()))
    return found


def blocks(data, at=0, end=None):
    """The VS_VERSIONINFO tree: (key, value bytes, value type, children)."""
    end = len(data) if end is None else end
    nodes = []
    while at + 6 <= end:
        length, value_length, value_type = struct.unpack_from('<HHH', data, at)
        if length == 0:
            break
        key_end = data.index(b'\0\0', at + 6)
        while (key_end - at) % 2:  # a UTF-16 terminator starts on a unit
            key_end = data.index(b'\0\0', key_end + 1)
        key = data[at + 6:key_end].decode('utf-16-le')
        value_at = (key_end + 2 + 3) & ~3
        size = value_length * 2 if value_type == 1 else value_length
        value = data[value_at:value_at + size]
        children_at = (value_at + size + 3) & ~3
        nodes.append((key, value, value_type, blocks(data, children_at, at + length)))
        at = (at + length + 3) & ~3
    return nodes


class Resources(unittest.TestCase):
    def test_everything_is_simplified_chinese_with_one_icon_group(self):
        resources = listed()
        self.assertEqual(sorted(t for t, _, _ in resources),
                         [ICON, ICON, GROUP_ICON, VERSION, MANIFEST])
        self.assertEqual([n for t, n, _ in resources if t == GROUP_ICON], [1])
        self.assertEqual([n for t, n, _ in resources if t == VERSION], [1])
        for resource in resources:
            self.assertEqual(resource[2], CHINESE_SIMPLIFIED, resource)

    def test_manifests_name_windows_10_and_11_and_ask_for_no_elevation(self):
        for exe in filter(None, (ARGS.exe, ARGS.calc_exe)):
            found = manifest(exe)
            self.assertEqual([a['Id'] for a, _ in found['supportedOS']], [WINDOWS_10_AND_11], exe)
            self.assertEqual([a['level'] for a, _ in found['requestedExecutionLevel']],
                             ['asInvoker'], exe)
        # Qt scales the windows per monitor itself.
        self.assertEqual([t for _, t in manifest(ARGS.exe)['dpiAwareness']], ['PerMonitorV2'])

    def test_icon_images_are_the_ico_files_16_and_32_pixels_of_256_colours(self):
        with open(ARGS.ico, 'rb') as f:
            ico = f.read()
        self.assertEqual(struct.unpack_from('<HH', ico, 2), (1, 2), 'an icon of two images')
        group = raw(GROUP_ICON, 1)
        self.assertEqual(struct.unpack_from('<H', group, 4), (2,), 'images in the group')
        for i, size in enumerate((16, 32)):
            # GRPICONDIRENTRY in the group, ICONDIRENTRY in the .ico
            width, height, _, _, _, bits, _, name = struct.unpack_from('<BBBBHHIH', group,
                                                                       6 + 14 * i)
            self.assertEqual((width, height, bits), (size, size, 8))
            image_size, image_at = struct.unpack_from('<II', ico, 6 + 16 * i + 8)
            self.assertEqual(raw(ICON, name), ico[image_at:image_at + image_size],
                             f'icon {name} differs from the .ico')

    def test_numeric_version_of_an_application(self):
        (root,) = blocks(raw(VERSION, 1))
        key, fixed, _, _ = root
        self.assertEqual(key, 'VS_VERSION_INFO')
        self.assertEqual(len(fixed), 52)
        (signature, _, file_ms, file_ls, product_ms, product_ls, _, flags, os_kind,
         file_type) = struct.unpack_from('<10I', fixed)
        self.assertEqual(signature, 0xFEEF04BD)
        major, minor, patch, build = EXPECTED['numericVersion']
        version = (major << 16 | minor, patch << 16 | build)
        self.assertEqual((file_ms, file_ls), version, 'file version')
        self.assertEqual((product_ms, product_ls), version, 'product version')
        self.assertEqual(flags, 0, 'neither debug nor pre-release')
        self.assertEqual(os_kind, 0x00040004, 'Windows NT, 32-bit')
        self.assertEqual(file_type, 1, 'an application')

    def children(self):
        (root,) = blocks(raw(VERSION, 1))
        return {node[0]: node for node in root[3]}

    def test_string_table_holds_exactly_the_programs_fields(self):
        (table,) = self.children()['StringFileInfo'][3]
        self.assertEqual(table[0], '080404B0')
        self.assertEqual([value_type for _, _, value_type, _ in table[3]], [1] * len(table[3]),
                         'every field a text')
        keys = [key for key, _, _, _ in table[3]]
        self.assertEqual(len(keys), len(set(keys)), f'a field twice: {keys}')
        fields = {key: value.decode('utf-16-le').rstrip('\0') for key, value, _, _ in table[3]}
        self.assertEqual(fields, {key: value.replace('{site}', ARGS.site)
                                  for key, value in EXPECTED['versionStrings'].items()})

    def test_translation_is_simplified_chinese_in_unicode(self):
        (translation,) = self.children()['VarFileInfo'][3]
        self.assertEqual(translation[0], 'Translation')
        self.assertEqual(struct.unpack('<HH', translation[1]), (0x0804, 1200))



class Imports(unittest.TestCase):
    """The executables as built (--exe and --calc-exe)."""

    def test_executables_import_only_dlls_of_windows(self):
        for exe in (ARGS.exe, ARGS.calc_exe):
            found, delayed = imported_dlls(exe)
            self.assertIn('kernel32.dll', found, exe)
            found += delayed
            self.assertEqual([dll for dll in found if dll not in WINDOWS_DLLS
                              and not dll.startswith('api-ms-win-')], [], exe)

    def test_windows_loader_takes_the_imports_from_system32(self):
        for exe in (ARGS.exe, ARGS.calc_exe):
            self.assertEqual(dependent_load_flags(exe), LOAD_LIBRARY_SEARCH_SYSTEM32, exe)


def link_script(rc, windres, folder):
    """The resource script compiled and linked into an executable of no code."""
    obj, exe = os.path.join(folder, 'trelvik.o'), os.path.join(folder, 'trelvik.exe')
    subprocess.run([windres, '--preprocessor=cpp', '-i', rc, '-o', obj, '-O', 'coff'], check=True)
    ld = re.sub(r'windres$', 'ld', windres)
    subprocess.run([ld, '--entry=0', '-o', exe, obj], check=True)
    return exe


def setUpModule():
    global ARGS
    ARGS = suite.options
    if ARGS.rc:
        scratch = tempfile.mkdtemp(prefix='trelvik-rc-')
        unittest.addModuleCleanup(shutil.rmtree, scratch)
        ARGS.exe = link_script(ARGS.rc, ARGS.windres, scratch)


if __name__ == '__main__':
    parser = argparse.ArgumentParser()
    parser.add_argument('--exe')
    parser.add_argument('--calc-exe')
    parser.add_argument('--rc')
    parser.add_argument('--windres', default='x86_64-w64-mingw32-windres')
    parser.add_argument('--ico', required=True)
    parser.add_argument('--site', required=True)
    suite.main(parser)
