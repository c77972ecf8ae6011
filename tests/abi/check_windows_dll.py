#!/usr/bin/python3
"""Proves the Windows plug-in's boundary from its binaries' bytes, as the game will load them.

- The plug-in and the UDP driver export exactly their entry points and import only Windows DLLs.
- The tables of VelmoraPlugin (28 slots) and InternalsPluginInfo (8 slots), read from the linked
  DLL, hold the operations in the host's order.
- On i686, every slot that takes arguments pops them itself (thiscall: `ret $n`).
- With --clang: the layout the game's compiler (the Microsoft i686 ABI, where plugin/abi.h
  declares a real virtual destructor) gives plugin/host_interface.h is the DLL's, slot by slot.
"""

import argparse
import itertools
import os
import pathlib
import re
import subprocess
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "windows"))
from dll_checks import check, check_driver, check_plugin, summary  # noqa: E402

I386 = 0x14C
DESTRUCTOR = "DeletingDestructor(unsigned int)"  # GCC's explicit slot 0, MSVC's "scalar deleting"
TABLES = {  # the DLL's class, the interface it implements, its slots
    "VelmoraPlugin": ("InternalsPluginV3", [
        DESTRUCTOR, "Release()", "ObjectInfo()", "Slot3()", "Slot4(int)", "Slot5(int)",
        "Start()", "Stop()", "Reset()", "Slot9()", "Slot10()", "Slot11(int)", "Slot12()",
        "Slot13(int)", "Slot14()", "Slot15(float)", "Enable()", "Disable()",
        "QueryControl(char const*, float*)", "Slot19(int)", "Slot20()", "Slot21(int)", "Slot22()",
        "Slot23()", "Slot24(int)", "Slot25(int)", "UpdateVehicles(VehicleListInfo const*)",
        "Slot27(int)"]),
    "InternalsPluginInfo": ("PluginObjectInfo", [
        DESTRUCTOR, "ShortName() const", "LongName() const", "Description() const",
        "TypeCode() const", "SubtypeName() const", "InterfaceVersion() const",
        "CreateInstance() const"]),
}


def run(*command, **options):
    return subprocess.run(command, check=True, capture_output=True, text=True, **options).stdout


class LinkedDll:
    """The DLL's symbols (from the target's nm) and its tables' bytes (through pefile)."""

    def __init__(self, image, objdump, path):
        self.image, self.objdump, self.path = image, objdump, path
        self.symbols = {}  # demangled name -> address
        self.functions = {}  # address -> demangled function name
        listing = run(objdump.replace("objdump", "nm"), "-C", path)
        for address, kind, name in re.findall(r"^([0-9a-f]+) (\w) (.*)$", listing, re.MULTILINE):
            self.symbols[name] = int(address, 16)
            if kind in "Tt" and not name.startswith("."):
                self.functions.setdefault(int(address, 16), name)
        self.addresses = sorted(set(self.symbols.values()))

    def end_of(self, address):
        return next(a for a in self.addresses if a > address)

    def table(self, cls):
        """The slots' addresses and names, slot 0 first; None when the class has no table."""
        start = self.symbols.get(f"vtable for velmora::{cls}")
        if start is None:
            return None
        width = 4 if self.image.FILE_HEADER.Machine == I386 else 8
        data = self.image.get_data(start - self.image.OPTIONAL_HEADER.ImageBase,
                                   self.end_of(start) - start)
        words = [int.from_bytes(data[i:i + width], "little") for i in range(0, len(data), width)]
        slots = words[2:]  # after the offset to top and the type information
        while slots and slots[-1] == 0:  # alignment padding
            slots.pop()
        names = [self.functions.get(a, f"<not a function: {a:#x}>") for a in slots]
        return slots, [n.removeprefix(f"velmora::{cls}::") for n in names]

    def pops(self, address):
        body = run(self.objdump, "-d", f"--start-address={address:#x}",
                   f"--stop-address={self.end_of(address):#x}", self.path)
        return [int(n, 16) for n in re.findall(r"\bret\s+\$0x([0-9a-f]+)", body)]


def msvc_tables(clang, source, includes):
    """Each interface's slots as clang lays them out for the Microsoft i686 ABI."""
    probe = ('#include "plugin/host_interface.h"\n'
             "void Probe(InternalsPluginV3* o, PluginObjectInfo* i) {\n"
             "    o->Slot27(0);\n    i->CreateInstance();\n}\n")
    dump = run(clang, "--target=i686-pc-windows-msvc", "-std=c++20", "-ffreestanding",
               *[f"-isystem{d}" for d in includes], f"-I{source}", "-x", "c++", "-", "-S",
               "-o", os.devnull, "-Xclang", "-fdump-vtable-layouts", input=probe)
    tables = {}
    for block in dump.split("\n\n"):
        lines = block.strip().splitlines()
        header = re.match(r"VFTable for .*'(\w+)' \(\d+ entries\)\.$", lines[0]) if lines else None
        if header:
            entries = [re.sub(r"^\s*\d+ \| ", "", line) for line in lines[1:]]
            tables[header[1]] = [msvc_slot(e) for e in entries if not e.endswith(" RTTI")]
    return tables


def msvc_slot(entry):
    """ "bool InternalsPluginV2::QueryControl(const char *, float *) [pure]" in the DLL's
    spelling: "QueryControl(char const*, float*)"."""
    if entry.endswith("[scalar deleting]"):
        return DESTRUCTOR
    signature = re.search(r"(?:\w+::)+(\w+\(.*)$", entry.removesuffix(" [pure]"))[1]
    signature = re.sub(r"\bconst (\w+) \*", r"\1 const*", signature)
    return signature.replace("std::int32_t", "int").replace(" *", "*")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--dll", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--clang", help="compare with the Microsoft layout")
    parser.add_argument("--source", help="the repository, for plugin/*.h")
    parser.add_argument("--isystem", action="append", default=[])
    args = parser.parse_args()

    check_driver(pathlib.Path(args.driver).name, pathlib.Path(args.driver).read_bytes())
    dll = LinkedDll(check_plugin(pathlib.Path(args.dll).name, pathlib.Path(args.dll).read_bytes()),
                    args.objdump, args.dll)
    msvc = msvc_tables(args.clang, args.source, args.isystem) if args.clang else {}
    for cls, (interface, expected) in TABLES.items():
        slots, names = dll.table(cls) or ([], [])
        for index, name in enumerate(names):
            print(f"     {cls} slot {index:2}: {name}")
        check(names == expected, f"{cls}: {len(expected)} slots in the host's order")
        if args.clang:
            ours = msvc.get(interface, [])
            differ = [f"slot {i}: MSVC {a} | DLL {b}"
                      for i, (a, b) in enumerate(itertools.zip_longest(ours, names)) if a != b]
            check(not differ and ours, f"the Microsoft layout of {interface} is {cls}'s "
                  + "; ".join(differ))
        if dll.image.FILE_HEADER.Machine == I386 and names == expected:
            for slot, name in enumerate(names):
                arguments = re.search(r"\((.*)\)", name)[1]
                pops = 4 * len(arguments.split(",")) if arguments else 0
                if pops:
                    returns = dll.pops(slots[slot])
                    check(returns and set(returns) == {pops},
                          f"{cls} slot {slot} {name} pops {pops} bytes (thiscall)")
    return summary("all checks passed")


if __name__ == "__main__":
    sys.exit(main())
