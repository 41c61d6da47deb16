#!/usr/bin/env python3
"""Makes, for each of MinGW's import libraries named, a delay-import library
of the same name (libNAME.a) in OUT, with the same exports: linked in its
place, the DLLs are loaded at their first call instead of at start.

    make_delay_import_libs.py --nm NM --dlltool DLLTOOL --ar AR --out OUT LIBRARY.a...

An import library may stand for several DLLs (runtimeobject for a few API
sets); MinGW names each member after its DLL: lib<dll>s<number>.o.
"""
import argparse
import collections
import os
import re
import subprocess
import tempfile

MEMBER = re.compile(r'^lib(.+)s\d+\.o$')


def main():
    parser = argparse.ArgumentParser()
    for tool in ('--nm', '--dlltool', '--ar', '--out'):
        parser.add_argument(tool, required=True)
    parser.add_argument('libraries', nargs='+')
    args = parser.parse_args()

    for library in args.libraries:
        listing = subprocess.run([args.nm, '-A', '--defined-only', library], check=True,
                                 capture_output=True, text=True).stdout
        exports = collections.defaultdict(set)
        for line in listing.splitlines():
            # path:member: address I __imp_Name
            where, _, symbol = line.rpartition(' ')
            member = where.split(':')[-2] if where.count(':') >= 2 else ''
            found = MEMBER.match(member)
            if symbol.startswith('__imp_') and found:
                exports[found.group(1)].add(symbol[len('__imp_'):])
        if not exports:
            raise SystemExit(f'{library}: no DLL exports found')
        name = os.path.basename(library)
        with tempfile.TemporaryDirectory() as work:
            parts = []
            for dll, names in sorted(exports.items()):
                definition = os.path.join(work, f'{dll}.def')
                with open(definition, 'w') as f:
                    f.write(f'LIBRARY {dll}.dll\nEXPORTS\n')
                    f.writelines(f'  {export}\n' for export in sorted(names))
                part = os.path.join(work, f'{dll}.a')
                subprocess.run([args.dlltool, '--input-def', definition, '--dllname', f'{dll}.dll',
                                '--temp-prefix', os.path.join(work, dll.replace('-', '_')),
                                '--output-delaylib', part], check=True)
                parts.append(part)
            target = os.path.join(args.out, name)
            if os.path.exists(target):
                os.remove(target)
            script = f'CREATE {target}\n' + ''.join(f'ADDLIB {p}\n' for p in parts) + 'SAVE\nEND\n'
            subprocess.run([args.ar, '-M'], input=script, text=True, check=True)


if __name__ == '__main__':
    main()
