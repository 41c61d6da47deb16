#!/usr/bin/env python3
"""The icon, version record and manifest read back from a built trelvik.exe
with icoutils' wrestool and icotool: what Explorer shows for the program and
what Windows is told when it starts it; and the DLLs that trelvik.exe and
trelvik-calc.exe import, read with objdump: only Windows' own.

    check_resources.py --exe trelvik.exe --calc-exe trelvik-calc.exe
                       --site http://www.qinvo.example
"""
import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

CHINESE_SIMPLIFIED = 2052
ICON, GROUP_ICON, VERSION, MANIFEST = 3, 14, 16, 24
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

EXE = None
CALC_EXE = None
SITE = None


def listed(exe=None):
    """(type, name, language) of every resource in the executable."""
    out = subprocess.run(['wrestool', '-l', exe or EXE], check=True, capture_output=True,
                         text=True).stdout
    return [tuple(int(v) for v in m.groups())
            for m in re.finditer(r'--type=(\d+) --name=(\d+) --language=(\d+)', out)]


def raw(resource_type, name, exe=None):
    return subprocess.run(['wrestool', '-x', '--raw', f'--type={resource_type}',
                           f'--name={name}', exe or EXE], check=True, capture_output=True).stdout


def imports(exe):
    out = subprocess.run(['x86_64-w64-mingw32-objdump', '-p', exe], check=True,
                         capture_output=True, text=True).stdout
    return sorted({m.group(1).lower() for m in re.finditer(r'DLL Name: (\S+)', out)})


def manifest(exe):
    """The manifest's elements by local name, with their attributes and text."""
    root = ElementTree.fromstring(raw(MANIFEST, 1, exe))
    found = {}
    for element in root.iter():
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
        self.assertEqual(sorted({t for t, _, _ in resources}),
                         [ICON, GROUP_ICON, VERSION, MANIFEST])
        self.assertEqual([n for t, n, _ in resources if t == GROUP_ICON], [1])
        self.assertEqual([n for t, n, _ in resources if t == VERSION], [1])
        for resource in resources:
            self.assertEqual(resource[2], CHINESE_SIMPLIFIED, resource)

    def test_manifests_name_windows_10_and_11_and_ask_for_no_elevation(self):
        for exe in (EXE, CALC_EXE):
            found = manifest(exe)
            self.assertEqual([a['Id'] for a, _ in found['supportedOS']], [WINDOWS_10_AND_11], exe)
            self.assertEqual([a['level'] for a, _ in found['requestedExecutionLevel']],
                             ['asInvoker'], exe)
        # Qt scales the windows per monitor itself.
        self.assertEqual([t for _, t in manifest(EXE)['dpiAwareness']], ['PerMonitorV2'])

    def test_executables_import_only_dlls_of_windows(self):
        for exe in (EXE, CALC_EXE):
            found = imports(exe)
            self.assertIn('kernel32.dll', found, exe)
            self.assertEqual([dll for dll in found if dll not in WINDOWS_DLLS
                              and not dll.startswith('api-ms-win-')], [], exe)

    def test_icon_has_16_and_32_pixel_images_of_256_colours(self):
        with tempfile.TemporaryDirectory() as folder:
            ico = os.path.join(folder, 'trelvik.ico')
            subprocess.run(['wrestool', '-x', f'--type={GROUP_ICON}', '--name=1',
                            f'--output={ico}', EXE], check=True)
            out = subprocess.run(['icotool', '-l', ico], check=True, capture_output=True,
                                 text=True).stdout
        images = sorted((int(w), int(h), int(d)) for w, h, d in re.findall(
            r'--width=(\d+) --height=(\d+) --bit-depth=(\d+)', out))
        self.assertEqual(images, [(16, 16, 8), (32, 32, 8)], out)

    def test_numeric_version_is_1_2_0_0_of_an_application(self):
        (root,) = blocks(raw(VERSION, 1))
        key, fixed, _, _ = root
        self.assertEqual(key, 'VS_VERSION_INFO')
        (signature, _, file_ms, file_ls, product_ms, product_ls, _, flags, os_kind,
         file_type) = struct.unpack_from('<10I', fixed)
        self.assertEqual(signature, 0xFEEF04BD)
        self.assertEqual((file_ms, file_ls), (0x00010002, 0), 'file version 1.2.0.0')
        self.assertEqual((product_ms, product_ls), (0x00010002, 0), 'product version 1.2.0.0')
        self.assertEqual(flags, 0, 'neither debug nor pre-release')
        self.assertEqual(os_kind, 0x00040004, 'Windows NT, 32-bit')
        self.assertEqual(file_type, 1, 'an application')

    def test_string_table_and_translation(self):
        (root,) = blocks(raw(VERSION, 1))
        children = {node[0]: node for node in root[3]}
        (table,) = children['StringFileInfo'][3]
        self.assertEqual(table[0], '080404B0')
        fields = {key: value.decode('utf-16-le').rstrip('\0') for key, value, _, _ in table[3]}
        self.assertEqual(fields, {
            'CompanyName': 'Qinvo',
            'ProductName': 'Trelvik助手',
            'FileDescription': 'Trelvik助手',
            'Comments': 'Trelvik助手',
            'LegalTrademarks': 'Trelvik助手',
            'InternalName': 'Trelvik助手1.2',
            'OriginalFilename': 'Trelvik助手1.2.exe',
            'FileVersion': '1.02',
            'ProductVersion': '1.02',
            'LegalCopyright': SITE,
        })
        (translation,) = children['VarFileInfo'][3]
        self.assertEqual(translation[0], 'Translation')
        self.assertEqual(struct.unpack('<HH', translation[1]), (0x0804, 1200))


if __name__ == '__main__':
    parser = argparse.ArgumentParser()
    parser.add_argument('--exe', required=True)
    parser.add_argument('--calc-exe', required=True)
    parser.add_argument('--site', required=True)
    args, rest = parser.parse_known_args()
    EXE, CALC_EXE, SITE = args.exe, args.calc_exe, args.site
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
