#!/usr/bin/env python3
"""The licences of the libraries that Qt's base modules build in, as one text,
from the qt_attribution.json files of a qtbase source tree:

    qt-third-party-licences.py QTBASE_SOURCE > third-party.txt

Every attribution of the sources that a Windows build of Core, Gui, Widgets
and the windows platform plugin compiles; those of other platforms and
modules are left out."""
import json
import os
import sys

# Other platforms, and modules that the program does not link.
LEFT_OUT = ('network', 'testlib', 'dbus', 'libpsl', 'md4', 'wasm', 'xcb', 'forkfd',
            'android', 'gradle', 'cocoa', 'vulkan', 'VulkanMemoryAllocator')


def attributions(source):
    for folder, _, files in sorted(os.walk(os.path.join(source, 'src'))):
        parts = os.path.relpath(folder, source).split(os.sep)
        if 'qt_attribution.json' not in files or any(p in LEFT_OUT for p in parts):
            continue
        with open(os.path.join(folder, 'qt_attribution.json'), encoding='utf-8') as f:
            data = json.loads(f.read(), strict=False)  # some hold raw tabs
        for entry in data if isinstance(data, list) else [data]:
            yield folder, entry


def main():
    source = sys.argv[1]
    out = sys.stdout
    out.write('Libraries built into Qt, and their licences\n'
              '============================================\n')
    for folder, entry in attributions(source):
        files = entry.get('LicenseFiles') or [entry.get('LicenseFile')]
        out.write(f"\n\n{entry.get('Name', entry.get('Id', '?'))}"
                  f" {entry.get('Version', '')}".rstrip() + '\n')
        out.write('-' * 72 + '\n')
        out.write(f"License: {entry.get('License', '?')}\n")
        if entry.get('Copyright'):
            out.write(entry['Copyright'].rstrip() + '\n')
        for name in filter(None, files):
            with open(os.path.join(folder, name), encoding='utf-8', errors='replace') as f:
                out.write('\n' + f.read().rstrip() + '\n')


if __name__ == '__main__':
    main()
