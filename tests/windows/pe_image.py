"""A reader for the parts of a Windows PE image a release check needs: the machine, the subsystem,
the export and import names, and the version resource. Standard library only, so the check runs wherever
Python does, with no MinGW tools."""

import struct

MACHINE_I386 = 0x14C
SUBSYSTEM_CONSOLE = 3
RT_VERSION = 16
FIXED_FILE_INFO_SIGNATURE = 0xFEEF04BD


class PeError(Exception):
    pass


class PeImage:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        pe = self._u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data,
                                                                               pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        # PE32 and PE32+ differ in where the data directories start.
        directories = optional + {0x10B: 96, 0x20B: 112}.get(magic, -1)
        if directories < optional:
            raise PeError(f"unknown optional header magic {magic:#x}")
        count = self._u32(directories - 4)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i)
                            for i in range(count)]
        table = optional + optional_size
        self.sections = []
        for i in range(sections):
            _, virtual_size, address, raw_size, raw_offset = struct.unpack_from(
                "<8sIIII", data, table + 40 * i)
            self.sections.append((address, max(virtual_size, raw_size), raw_offset))

    def _u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def offset(self, rva):
        for address, size, raw_offset in self.sections:
            if address <= rva < address + size:
                return raw_offset + rva - address
        raise PeError(f"address {rva:#x} is in no section")

    def _string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def _directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def exports(self):
        """[(ordinal, name)] of the exports that have names, in the table's (sorted) order."""
        rva, size = self._directory(0)
        if size == 0:
            return []
        at = self.offset(rva)
        base, _, names, _, name_table, ordinal_table = struct.unpack_from("<IIIIII", self.data,
                                                                          at + 16)
        result = []
        for i in range(names):
            name = self._string(self._u32(self.offset(name_table) + 4 * i))
            index = struct.unpack_from("<H", self.data, self.offset(ordinal_table) + 2 * i)[0]
            result.append((base + index, name))
        return result

    def imports(self):
        """The names of the DLLs the image imports from."""
        rva, size = self._directory(1)
        names = []
        at = self.offset(rva) if size else None
        while at is not None:
            name = struct.unpack_from("<5I", self.data, at)[3]
            if name == 0:
                break
            names.append(self._string(name))
            at += 20
        return names

    def version_resource(self):
        """The first RT_VERSION resource's bytes, or None."""
        rva, size = self._directory(2)
        if size == 0:
            return None
        root = self.offset(rva)

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, directory + 12)
            for i in range(named + numbered):
                yield struct.unpack_from("<II", self.data, directory + 16 + 8 * i)

        def first_leaf(entry):
            # High bit set: another directory, whose first entry we follow.
            while entry & 0x80000000:
                entry = next(entries(root + (entry & 0x7FFFFFFF)))[1]
            data_rva, data_size = struct.unpack_from("<II", self.data, root + entry)
            start = self.offset(data_rva)
            return self.data[start:start + data_size]

        for identifier, entry in entries(root):
            if identifier == RT_VERSION:
                return first_leaf(entry)
        return None


def _align(offset):
    return (offset + 3) & ~3


def _block(data, at):
    """One VS_VERSIONINFO-style node: (key, value, children, end)."""
    length, value_length, kind = struct.unpack_from("<HHH", data, at)
    end = at + length
    key_end = at + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[at + 6:key_end].decode("utf-16-le")
    value_at = _align(key_end + 2)
    if kind == 1:  # text: the length counts UTF-16 units, the terminator included
        value = data[value_at:value_at + 2 * value_length].decode("utf-16-le").rstrip("\0")
        value_end = value_at + 2 * value_length
    else:
        value = data[value_at:value_at + value_length]
        value_end = value_at + value_length
    children = []
    child = _align(value_end)
    while child < end:
        node = _block(data, child)
        children.append(node)
        child = _align(node[3])
    return key, value, children, end


def parse_version(resource):
    """(file version tuple, product version tuple, {string name: value}) of a version resource."""
    key, fixed, children, _ = _block(resource, 0)
    if key != "VS_VERSION_INFO" or len(fixed) < 52:
        raise PeError("not a VS_VERSION_INFO resource")
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    if signature != FIXED_FILE_INFO_SIGNATURE:
        raise PeError("VS_FIXEDFILEINFO signature missing")

    def split(ms, ls):
        return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)

    strings = {}
    for child_key, _, tables, _ in children:
        if child_key == "StringFileInfo":
            for _, _, values, _ in tables:
                for name, text, _, _ in values:
                    strings[name] = text
    return split(file_ms, file_ls), split(product_ms, product_ls), strings
