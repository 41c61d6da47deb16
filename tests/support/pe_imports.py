"""The DLLs a Windows executable names in its import table and in its
delay-import table, read from the file itself, and those of them that
Windows looks for beside the program."""
import struct

IMPORT, LOAD_CONFIG, DELAY_IMPORT = 1, 10, 13  # data directory entries
DEPENDENT_LOAD_FLAGS = 0x4E  # in IMAGE_LOAD_CONFIG_DIRECTORY64

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


class _Image:
    """A PE file's bytes, its data directories and how RVAs map into it."""

    def __init__(self, path):
        with open(path, 'rb') as f:
            self.bytes = f.read()
        image = self.bytes
        pe = struct.unpack_from('<I', image, 0x3C)[0]
        sections, optional_size = struct.unpack_from('<H12xH', image, pe + 6)
        optional = pe + 24
        self.directories = optional + (
            112 if struct.unpack_from('<H', image, optional)[0] == 0x20B else 96)
        table = optional + optional_size
        self.spans = [struct.unpack_from('<IIII', image, table + 40 * i + 8)
                      for i in range(sections)]
        self.path = path

    def directory(self, entry):
        """(RVA, size) of a data directory entry."""
        return struct.unpack_from('<II', self.bytes, self.directories + 8 * entry)

    def offset(self, rva):
        for virtual_size, address, raw_size, raw_offset in self.spans:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_offset + rva - address
        raise ValueError(f'{self.path}: RVA {rva:#x} in no section')


def dependent_load_flags(path):
    """The DependentLoadFlags of the load configuration; None without one."""
    image = _Image(path)
    rva, size = image.directory(LOAD_CONFIG)
    if not rva or size < DEPENDENT_LOAD_FLAGS + 2:
        return None
    return struct.unpack_from('<H', image.bytes, image.offset(rva) + DEPENDENT_LOAD_FLAGS)[0]


def imported_dlls(path):
    """(imports, delay imports): the DLL names, in lower case."""
    image = _Image(path)

    def name_at(rva):
        start = image.offset(rva)
        return image.bytes[start:image.bytes.index(b'\0', start)].decode('ascii').lower()

    def names(entry, size, name_field):
        """The table ends with an empty descriptor, or where its size says."""
        rva, table_size = image.directory(entry)
        found = []
        if not rva:
            return found
        at = image.offset(rva)
        for _ in range(table_size // size):
            descriptor = image.bytes[at:at + size]
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
