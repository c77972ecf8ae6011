#!/usr/bin/python3
"""The Windows plug-in's boundary, from the DLL: its exports and imports, and given clang, its two
tables slot by slot against what the game's compiler (the Microsoft i686 ABI) lays out for the
game's own declaration of the interface (the MSVC-ABI host's) and for plugin/host_interface.h."""

import argparse
import itertools
import os
import pathlib
import re
import subprocess
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "windows"))
from dll_checks import check, check_plugin, summary  # noqa: E402

TABLES = {"VelmoraPlugin": "InternalsPluginV3", "InternalsPluginInfo": "PluginObjectInfo"}
DESTRUCTOR = "DeletingDestructor(unsigned int)"  # GCC's explicit slot 0, MSVC's "scalar deleting"


def run(*command, **options):
    return subprocess.run(command, check=True, capture_output=True, text=True, **options).stdout


def dll_tables(image, nm, path):
    """Each table's slots: the words after the offset to top and the type information up to the
    next symbol, read through pefile and named by the target's nm."""
    symbols, functions = {}, {}
    for address, kind, name in re.findall(r"^([0-9a-f]+) (\w) (.*)$", run(nm, "-C", path), re.M):
        symbols[name] = int(address, 16)
        if kind in "Tt" and not name.startswith("."):
            functions.setdefault(int(address, 16), name)
    addresses = sorted(set(symbols.values()))
    tables = {}
    for cls, interface in TABLES.items():
        start = symbols.get(f"vtable for velmora::{cls}")
        if start is not None:
            end = next(a for a in addresses if a > start)
            data = image.get_data(start - image.OPTIONAL_HEADER.ImageBase, end - start)
            words = [int.from_bytes(data[i:i + 4], "little") for i in range(8, len(data), 4)]
            tables[interface] = [functions.get(w, f"<not a function: {w:#x}>").removeprefix(
                f"velmora::{cls}::").removesuffix(" const") for w in words if w]
    return tables


def msvc_tables(clang, header, source, includes):
    """Each table's slots as clang lays them out for the Microsoft i686 ABI, spelt as the DLL's:
    "bool InternalsPluginV2::QueryControl(const char *, float *) [pure]" as
    "QueryControl(char const*, float*)"."""
    probe = f'#include "{header}"\nvoid Probe(InternalsPluginV3* o) {{ o->Slot27(0); }}\n' \
        "void Probe(PluginObjectInfo* i) { i->ShortName(); }"
    dump = run(clang, "--target=i686-pc-windows-msvc", "-std=c++20", "-ffreestanding",
               *[f"-isystem{d}" for d in includes], f"-I{source}", "-x", "c++", "-", "-S",
               "-o", os.devnull, "-Xclang", "-fdump-vtable-layouts", input=probe)

    def spelt(entry):
        if entry.endswith("[scalar deleting]"):
            return DESTRUCTOR
        slot = re.search(r"(?:\w+::)+(\w+\(.*)$", entry.removesuffix(" [pure]"))[1]
        slot = re.sub(r"\bconst (\w+) \*", r"\1 const*", slot).removesuffix(" const")
        return slot.replace("std::int32_t", "int").replace(" *", "*")

    tables = re.findall(r"VFTable for .*'(\w+)' \(\d+ entries\)\.\n((?: +\d+ \|.*\n)*)", dump)
    return {cls: [spelt(e) for e in re.findall(r"\d+ \| (.*)", body) if not e.endswith(" RTTI")]
            for cls, body in tables}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True, help="the target's; its nm lies beside it")
    parser.add_argument("--dll", required=True)
    parser.add_argument("--clang", help="compare the tables with the Microsoft layouts")
    parser.add_argument("--source", help="the repository, for the interface's declarations")
    parser.add_argument("--isystem", action="append", default=[])
    args = parser.parse_args()

    image = check_plugin(pathlib.Path(args.dll).name, pathlib.Path(args.dll).read_bytes())
    if args.clang:
        layouts = {"DLL": dll_tables(image, args.objdump.replace("objdump", "nm"), args.dll),
                   "game": msvc_tables(args.clang, "tests/msvc_host/game_interface.h",
                                       args.source, args.isystem),
                   "header": msvc_tables(args.clang, "plugin/host_interface.h", args.source,
                                         args.isystem)}
        for interface in TABLES.values():
            slots = {side: tables.get(interface, []) for side, tables in layouts.items()}
            print(f"     {interface}: " + ", ".join(slots["game"]))
            differ = [f"slot {i}: " + " | ".join(f"{side} {name}" for side, name in zip(slots, row))
                      for i, row in enumerate(itertools.zip_longest(*slots.values()))
                      if len(set(row)) > 1]
            check(slots["game"] and not differ, f"{interface}: {len(slots['game'])} slots, the "
                  "same in the DLL, the game's and the plug-in's header "
                  + "; ".join(differ[:3]))
    return summary("all checks passed")


if __name__ == "__main__":
    sys.exit(main())
