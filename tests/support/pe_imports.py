"""The DLLs a Windows executable names in its import table and in its
delay-import table, read from the file itself, and those of them that
Windows looks for beside the program."""
import struct

IMPORT, DELAY_IMPORT = 1, 13  # data directory entries

# What Windows 10 and 11 load from System32 whatever lies beside a program
# (HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs), with
# ntdll and kernelbase, which every process has before its own imports.
KNOWN_DLLS = {
    'advapi32.dll', 'clbcatq.dll', 'combase.dll', 'comdlg32.dll', 'coml2.dll', 'difxapi.dll',
    'gdi32.dll', 'gdiplus.dll', 'imagehlp.dll', 'imm32.dll', 'kernel32.dll', 'kernelbase.dll',
    'msctf.dll', 'msvcrt.dll', 'normaliz.dll', 'nsi.dll', 'ntdll.dll', 'ole32.dll',
    'oleaut32.dll', 'psapi.dll', 'rpcrt4.dll', 'sechost.dll', 'setupapi.dll', 'shcore.dll',
    'shell32.dll', 'shlwapi.dll', 'user32.dll', 'wldap32.dll', 'ws2_32.dll',
}


def imported_dlls(path):
    """(imports, delay imports): the DLL names, in lower case."""
    with open(path, 'rb') as f:
        image = f.read()
    pe = struct.unpack_from('<I', image, 0x3C)[0]
    sections, optional_size = struct.unpack_from('<H12xH', image, pe + 6)
    optional = pe + 24
    directories = optional + (112 if struct.unpack_from('<H', image, optional)[0] == 0x20B else 96)
    table = optional + optional_size
    spans = [struct.unpack_from('<IIII', image, table + 40 * i + 8) for i in range(sections)]

    def offset(rva):
        for virtual_size, address, raw_size, raw_offset in spans:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_offset + rva - address
        raise ValueError(f'{path}: RVA {rva:#x} in no section')

    def name_at(rva):
        start = offset(rva)
        return image[start:image.index(b'\0', start)].decode('ascii').lower()

    def names(entry, size, name_field):
        """The table ends with an empty descriptor, or where its size says."""
        rva, table_size = struct.unpack_from('<II', image, directories + 8 * entry)
        found = []
        if not rva:
            return found
        at = offset(rva)
        for _ in range(table_size // size):
            descriptor = image[at:at + size]
            if descriptor == bytes(size):
                break
            found.append(name_at(struct.unpack_from('<I', descriptor, name_field)[0]))
            at += size
        return found

    # IMAGE_IMPORT_DESCRIPTOR: 20 bytes, Name at 12; the delay-load
    # descriptor: 32 bytes, DllNameRVA at 4.
    return names(IMPORT, 20, 12), names(DELAY_IMPORT, 32, 4)


def searched_beside_the_program(dlls):
    """The DLLs among `dlls` that Windows looks for in the program's folder
    first: not KnownDLLs, and not API sets, which the loader maps itself."""
    return sorted({dll for dll in dlls
                   if dll not in KNOWN_DLLS and not dll.startswith(('api-ms-win-', 'ext-ms-'))})
