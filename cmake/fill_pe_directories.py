#!/usr/bin/env python3
"""Fills in two entries of a 64-bit PE executable's header that GNU ld
leaves empty:
- the load configuration, pointed at the executable's _load_config_used, so
  that Windows reads the DependentLoadFlags set there when it resolves the
  imports;
- the delay-import table, pointed at the descriptors that dlltool's
  delay-import libraries bring (the loader does not need it, but every tool
  that lists what an executable loads reads it, the tests among them).

    fill_pe_directories.py --nm x86_64-w64-mingw32-nm program.exe
"""
import argparse
import struct
import subprocess
import sys

LOAD_CONFIG, DELAY_IMPORT = 10, 13  # data directory entries
PE32_PLUS = 0x20B
DELAY_DESCRIPTOR_SIZE = 32


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--nm', required=True)
    parser.add_argument('exe')
    args = parser.parse_args()

    symbols = {}
    for line in subprocess.run([args.nm, args.exe], check=True, capture_output=True,
                               text=True).stdout.splitlines():
        parts = line.split()
        if len(parts) == 3:
            symbols.setdefault(parts[2], int(parts[0], 16))
    if '_load_config_used' not in symbols:
        sys.exit(f'{args.exe}: no _load_config_used to point the header at')
    delayed = sorted(address for name, address in symbols.items()
                     if name.startswith('__DELAY_IMPORT_DESCRIPTOR_'))

    with open(args.exe, 'r+b') as exe:
        image = bytearray(exe.read())
        pe = struct.unpack_from('<I', image, 0x3C)[0]
        optional = pe + 24
        if image[pe:pe + 4] != b'PE\0\0' or struct.unpack_from('<H', image, optional)[0] != PE32_PLUS:
            sys.exit(f'{args.exe}: not a 64-bit PE executable')
        image_base = struct.unpack_from('<Q', image, optional + 24)[0]
        directories = optional + 112

        config = symbols['_load_config_used'] - image_base
        size = struct.unpack_from('<I', image, rva_to_offset(image, pe, config))[0]
        struct.pack_into('<II', image, directories + 8 * LOAD_CONFIG, config, size)

        if delayed:
            # One descriptor after the other, as the linker lays them out; the
            # table is given by its size, having no empty descriptor to end it.
            if any(b - a != DELAY_DESCRIPTOR_SIZE for a, b in zip(delayed, delayed[1:])):
                sys.exit(f'{args.exe}: the delay-import descriptors are not one table')
            struct.pack_into('<II', image, directories + 8 * DELAY_IMPORT, delayed[0] - image_base,
                             DELAY_DESCRIPTOR_SIZE * len(delayed))
        exe.seek(0)
        exe.write(image)


def rva_to_offset(image, pe, rva):
    sections, optional_size = struct.unpack_from('<H12xH', image, pe + 6)
    table = pe + 24 + optional_size
    for i in range(sections):
        virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from(
            '<IIII', image, table + 40 * i + 8)
        if virtual_address <= rva < virtual_address + max(virtual_size, raw_size):
            return raw_offset + rva - virtual_address
    sys.exit(f'RVA {rva:#x} is in no section')


if __name__ == '__main__':
    main()
