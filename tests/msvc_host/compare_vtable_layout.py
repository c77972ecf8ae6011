#!/usr/bin/env python3
"""The game's compiler and the i686 DLL agree on both tables, slot by slot.

clang lays out plugin/host_interface.h for the Microsoft i686 ABI (where plugin/abi.h declares a
real virtual destructor, as the game's headers do) and prints the tables; the DLL's tables are read
from its bytes as check_windows_dll.py reads them. Slot 0 is the deleting destructor on both sides:
MSVC's "scalar deleting" destructor, GCC's explicit DeletingDestructor(unsigned int).
"""

import argparse
import os
import pathlib
import re
import subprocess
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "abi"))
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "windows"))
from check_windows_dll import INFO_TABLE, PLUGIN_TABLE, Image, read_table  # noqa: E402
from dll_checks import check, summary  # noqa: E402

# Calls through both interfaces make clang lay out their tables.
PROBE = """#include "plugin/host_interface.h"
void Probe(InternalsPluginV3* object, PluginObjectInfo* info) {
    object->Slot27(0);
    info->CreateInstance();
}
"""
DELETING_DESTRUCTOR = "deleting destructor"


def msvc_tables(clang, source, includes):
    """Each class's complete table as clang prints it for the Microsoft ABI, without RTTI."""
    command = [clang, "--target=i686-pc-windows-msvc", "-std=c++20", "-ffreestanding",
               *[f"-isystem{d}" for d in includes], f"-I{source}", "-x", "c++", "-", "-S",
               "-o", os.devnull, "-Xclang", "-fdump-vtable-layouts"]
    dump = subprocess.run(command, input=PROBE, check=True, capture_output=True, text=True).stdout
    tables = {}
    for block in dump.split("\n\n"):
        lines = block.strip().splitlines()
        header = re.match(r"VFTable for .*'(\w+)' \(\d+ entries\)\.$", lines[0]) if lines else None
        if header:
            entries = [re.sub(r"^\s*\d+ \| ", "", line) for line in lines[1:]]
            tables[header[1]] = [e for e in entries if not e.endswith(" RTTI")]
    return tables


def msvc_slot(entry):
    """ "bool InternalsPluginV2::QueryControl(const char *, float *) [pure]" becomes
    "QueryControl(char const*, float*)", the spelling of the DLL's demangled names."""
    if entry.endswith("[scalar deleting]"):
        return DELETING_DESTRUCTOR
    signature = re.search(r"(?:\w+::)+(\w+\(.*)$", entry.removesuffix(" [pure]"))[1]
    signature = re.sub(r"\bconst (\w+) \*", r"\1 const*", signature)
    return signature.replace("std::int32_t", "int").replace(" *", "*")


def dll_slot(name):
    name = re.sub(r"^(?:\w+::)+", "", name)
    return DELETING_DESTRUCTOR if name == "DeletingDestructor(unsigned int)" else name


def compare(msvc_class, msvc_entries, dll_class, dll_names):
    ours = [msvc_slot(e) for e in msvc_entries]
    theirs = [dll_slot(n) for n in dll_names]
    for index in range(max(len(ours), len(theirs))):
        left = ours[index] if index < len(ours) else "(none)"
        right = theirs[index] if index < len(theirs) else "(none)"
        check(left == right, f"slot {index:2}: MSVC {msvc_class} {left} | DLL {dll_class} {right}")
    check(len(ours) == len(theirs), f"{msvc_class}: {len(ours)} slots in both")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--clang", required=True)
    parser.add_argument("--source", required=True, help="the repository, for plugin/*.h")
    parser.add_argument("--isystem", action="append", default=[])
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--dll", required=True)
    args = parser.parse_args()

    tables = msvc_tables(args.clang, args.source, args.isystem)
    image = Image(args.objdump, args.dll)
    for msvc_class, mangled, dll_class in [("InternalsPluginV3", PLUGIN_TABLE, "VelmoraPlugin"),
                                           ("PluginObjectInfo", INFO_TABLE, "InternalsPluginInfo")]:
        table = read_table(image, mangled)
        check(msvc_class in tables and table is not None,
              f"tables of {msvc_class} (clang) and {dll_class} (DLL) found")
        if msvc_class in tables and table is not None:
            compare(msvc_class, tables[msvc_class], dll_class, table[1])
    return summary("the Microsoft layout of the interface header is the DLL's")


if __name__ == "__main__":
    sys.exit(main())
