#!/usr/bin/env python3
"""The icon and version record read back from a built trelvik.exe, with
icoutils' wrestool and icotool: what Explorer shows for the program.

    check_resources.py --exe trelvik.exe --site http://www.qinvo.example
"""
import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'support'))
from expected import EXPECTED  # noqa: E402

CHINESE_SIMPLIFIED = 2052
ICON, GROUP_ICON, VERSION = 3, 14, 16

EXE = None
SITE = None


def listed():
    """(type, name, language) of every resource in the executable."""
    out = subprocess.run(['wrestool', '-l', EXE], check=True, capture_output=True,
                         text=True).stdout
    return [tuple(int(v) for v in m.groups())
            for m in re.finditer(r'--type=(\d+) --name=(\d+) --language=(\d+)', out)]


def raw(resource_type, name):
    return subprocess.run(['wrestool', '-x', '--raw', f'--type={resource_type}',
                           f'--name={name}', EXE], check=True, capture_output=True).stdout


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
        self.assertEqual(sorted({t for t, _, _ in resources}), [ICON, GROUP_ICON, VERSION])
        self.assertEqual([n for t, n, _ in resources if t == GROUP_ICON], [1])
        self.assertEqual([n for t, n, _ in resources if t == VERSION], [1])
        for resource in resources:
            self.assertEqual(resource[2], CHINESE_SIMPLIFIED, resource)

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

    def test_numeric_version_of_an_application(self):
        (root,) = blocks(raw(VERSION, 1))
        key, fixed, _, _ = root
        self.assertEqual(key, 'VS_VERSION_INFO')
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

    def test_string_table_and_translation(self):
        (root,) = blocks(raw(VERSION, 1))
        children = {node[0]: node for node in root[3]}
        (table,) = children['StringFileInfo'][3]
        self.assertEqual(table[0], '080404B0')
        fields = {key: value.decode('utf-16-le').rstrip('\0') for key, value, _, _ in table[3]}
        self.assertEqual(fields, {key: value.replace('{site}', SITE)
                                  for key, value in EXPECTED['versionStrings'].items()})
        (translation,) = children['VarFileInfo'][3]
        self.assertEqual(translation[0], 'Translation')
        self.assertEqual(struct.unpack('<HH', translation[1]), (0x0804, 1200))


if __name__ == '__main__':
    parser = argparse.ArgumentParser()
    parser.add_argument('--exe', required=True)
    parser.add_argument('--site', required=True)
    args, rest = parser.parse_known_args()
    EXE, SITE = args.exe, args.site
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
