#!/usr/bin/env python3
"""Proves the Windows plug-in's boundary from the bytes of its binaries, as the game will load them.

- The DLL exports exactly GetPluginName @1, GetPluginObjectCount @2, GetPluginObjectInfo @3 and
  GetPluginVersion @4, undecorated.
- It imports only Windows system DLLs (no MinGW runtime DLL a user would lack).
- The tables of VelmoraPlugin (28 slots) and InternalsPluginInfo (8 slots) hold the operations in
  the host's order, read from the vtables' bytes in the linked DLL.
- On i686, every slot that takes arguments pops them itself (thiscall: `ret $n`).
"""

import argparse
import pathlib
import re
import subprocess
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "windows"))
from dll_checks import check, check_driver, check_plugin, summary  # noqa: E402

PLUGIN_SLOTS = [
    "DeletingDestructor(unsigned int)", "Release()", "ObjectInfo()", "Slot3()", "Slot4(int)",
    "Slot5(int)", "Start()", "Stop()", "Reset()", "Slot9()", "Slot10()", "Slot11(int)",
    "Slot12()", "Slot13(int)", "Slot14()", "Slot15(float)", "Enable()", "Disable()",
    "QueryControl(char const*, float*)", "Slot19(int)", "Slot20()", "Slot21(int)", "Slot22()",
    "Slot23()", "Slot24(int)", "Slot25(int)", "UpdateVehicles(VehicleListInfo const*)",
    "Slot27(int)",
]
INFO_SLOTS = [
    "DeletingDestructor(unsigned int)", "ShortName() const", "LongName() const",
    "Description() const", "TypeCode() const", "SubtypeName() const",
    "InterfaceVersion() const", "CreateInstance() const",
]
# The two tables in the DLL, by the mangled names of their classes.
PLUGIN_TABLE = "N7velmora13VelmoraPluginE"
INFO_TABLE = "N7velmora19InternalsPluginInfoE"
# Bytes each slot with arguments pops on i686 (thiscall: the callee cleans up).
PLUGIN_POPS = {0: 4, 4: 4, 5: 4, 11: 4, 13: 4, 15: 4, 18: 8, 19: 4, 21: 4, 24: 4, 25: 4, 26: 4,
               27: 4}

def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def demangle(symbols, cxxfilt):
    # The target's own c++filt knows whether its symbols carry an extra leading underscore.
    out = subprocess.run([cxxfilt], input="\n".join(symbols), check=True, capture_output=True,
                         text=True).stdout
    return out.splitlines()


class Image:
    """The linked DLL's symbols and bytes: what the host will actually find in memory."""

    def __init__(self, objdump, dll):
        self.objdump, self.dll = objdump, dll
        nm = objdump.replace("objdump", "nm")
        cxxfilt = objdump.replace("objdump", "c++filt")
        self.symbols = {}  # mangled name -> address
        self.functions = {}  # address -> demangled name
        mangled_functions = []
        for line in run(nm, dll).splitlines():
            parts = line.split()
            if len(parts) == 3:
                address, kind, name = int(parts[0], 16), parts[1], parts[2]
                self.symbols[name] = address
                # Section symbols (".text", ".text$...") share addresses with the functions.
                if kind in "Tt" and not name.startswith("."):
                    mangled_functions.append((address, name))
        names = demangle([n for _, n in mangled_functions], cxxfilt)
        for (address, _), name in zip(mangled_functions, names):
            self.functions.setdefault(address, name)
        self.addresses = sorted(set(self.symbols.values()))

    def next_symbol_after(self, address):
        return next(a for a in self.addresses if a > address)

    def words(self, start, stop):
        text = run(self.objdump, "-s", f"--start-address={start:#x}", f"--stop-address={stop:#x}",
                   self.dll)
        data = b""
        for line in text.splitlines():
            match = re.match(r"^\s*([0-9a-f]+)\s((?:[0-9a-f]{2,8}\s?){1,4})", line)
            if match and int(match.group(1), 16) >= start - 16:
                data += bytes.fromhex(match.group(2).replace(" ", ""))
        width = 4 if "i686" in self.objdump else 8
        return [int.from_bytes(data[i:i + width], "little") for i in range(0, len(data), width)]

    def disassembly(self, address):
        return run(self.objdump, "-d", f"--start-address={address:#x}",
                   f"--stop-address={self.next_symbol_after(address):#x}", self.dll)


def read_table(image, mangled):
    """The addresses and demangled names in a class's vtable, slot 0 first; None if it is absent."""
    symbol = next((n for n in image.symbols if n.lstrip("_") == "ZTV" + mangled), None)
    if symbol is None:
        return None
    start = image.symbols[symbol]
    entries = image.words(start, image.next_symbol_after(start))
    # Offset to top, type information, then the slots; alignment padding at the end is zeros.
    slots = entries[2:]
    while slots and slots[-1] == 0:
        slots.pop()
    return slots, [image.functions.get(a, f"<not a function: {a:#x}>") for a in slots]


def check_table(image, mangled, cls, expected):
    table = read_table(image, mangled)
    check(table is not None, f"vtable of {cls} found")
    if table is None:
        return []
    slots, names = table
    for index, name in enumerate(names):
        print(f"     {cls} slot {index:2}: {name}")
    prefix = f"velmora::{cls}::"
    check([n.removeprefix(prefix) for n in names] == expected,
          f"{cls}: {len(expected)} slots in the host's order")
    return slots


def check_thiscall(image, slots):
    for slot, pops in PLUGIN_POPS.items():
        body = image.disassembly(slots[slot]) if slot < len(slots) else ""
        check(re.search(rf"\bret\s+\$0x{pops:x}\b", body) is not None,
              f"slot {slot} {PLUGIN_SLOTS[slot]} pops {pops} bytes (thiscall)")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--dll", required=True)
    parser.add_argument("--driver", action="append", default=[])
    args = parser.parse_args()

    for driver in args.driver:
        check_driver(pathlib.Path(driver).name, pathlib.Path(driver).read_bytes())
    check_plugin(pathlib.Path(args.dll).name, pathlib.Path(args.dll).read_bytes())
    image = Image(args.objdump, args.dll)
    slots = check_table(image, PLUGIN_TABLE, "VelmoraPlugin", PLUGIN_SLOTS)
    check_table(image, INFO_TABLE, "InternalsPluginInfo", INFO_SLOTS)
    if "i686" in args.objdump and len(slots) == len(PLUGIN_SLOTS):
        check_thiscall(image, slots)

    return summary("all checks passed")


if __name__ == "__main__":
    sys.exit(main())
