#!/usr/bin/env python3
"""Proves the Windows plug-in's boundary from its binaries, for a build we cannot run here.

- The DLL exports exactly GetPluginName @1, GetPluginObjectCount @2, GetPluginObjectInfo @3 and
  GetPluginVersion @4, undecorated.
- It imports only Windows system DLLs (no MinGW runtime DLL a user would lack).
- The tables of VelmoraPlugin (28 slots) and InternalsPluginInfo (8 slots) hold the operations in
  the host's order, read from the relocations of the vtables in the object files.
- On i686, every slot that takes arguments pops them itself (thiscall: `ret $n`).
"""

import argparse
import re
import subprocess
import sys

EXPORTS = ["GetPluginName", "GetPluginObjectCount", "GetPluginObjectInfo", "GetPluginVersion"]
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "msvcrt.dll", "advapi32.dll", "ntdll.dll"}

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
# Bytes each slot with arguments pops on i686 (thiscall: the callee cleans up).
PLUGIN_POPS = {0: 4, 4: 4, 5: 4, 11: 4, 13: 4, 15: 4, 18: 8, 19: 4, 21: 4, 24: 4, 25: 4, 26: 4,
               27: 4}

failures = []


def check(condition, message):
    print(("ok   " if condition else "FAIL ") + message)
    if not condition:
        failures.append(message)


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def demangle(symbols, cxxfilt):
    # i686 COFF symbols carry one extra leading underscore.
    stripped = [s[1:] if s.startswith("__Z") else s for s in symbols]
    out = subprocess.run([cxxfilt], input="\n".join(stripped), check=True, capture_output=True,
                         text=True).stdout
    return out.splitlines()


def check_exports(objdump, dll):
    text = run(objdump, "-p", dll)
    base = re.search(r"Ordinal Base\s+(\d+)", text, re.IGNORECASE)
    check(base is not None and base.group(1) == "1", "export ordinal base is 1")
    table = text.split("[Ordinal/Name Pointer] Table", 1)[-1]
    names = re.findall(r"\[\s*(\d+)\]\s+(\S+)", table)
    print("     exports: " + ", ".join(f"{n} @{int(i) + 1}" for i, n in names))
    check([n for _, n in names] == EXPORTS, "exactly the four exports, undecorated")
    check([int(i) + 1 for i, _ in names] == [1, 2, 3, 4], "ordinals 1 to 4 in name order")
    imports = {m.lower() for m in re.findall(r"DLL Name:\s*(\S+)", text)}
    print("     imports: " + ", ".join(sorted(imports)))
    check(imports <= SYSTEM_DLLS, "imports only Windows system DLLs")


def vtable_slots(objdump, cxxfilt, obj, mangled_class):
    """The functions a vtable points at, in slot order, read from its relocations."""
    text = run(objdump, "-r", obj)
    sections = re.split(r"RELOCATION RECORDS FOR \[(.*?)\]:", text)
    for name, body in zip(sections[1::2], sections[2::2]):
        if not name.endswith("_ZTV" + mangled_class):
            continue
        relocs = sorted((int(off, 16), sym) for off, _, sym in
                        re.findall(r"^([0-9a-f]+)\s+(\S+)\s+(\S+)", body, re.MULTILINE))
        pointer = 4 if "i686" in objdump else 8
        targets = [sym for off, sym in relocs if off >= 2 * pointer]
        offsets = [off for off, _ in relocs if off >= 2 * pointer]
        contiguous = offsets == [2 * pointer + i * pointer for i in range(len(offsets))]
        return demangle(targets, cxxfilt), contiguous
    return None, False


def check_table(objdump, cxxfilt, objects, source, mangled, cls, expected):
    obj = next((o for o in objects if o.endswith(source)), None)
    check(obj is not None, f"object file for {source} found")
    if obj is None:
        return None
    slots, contiguous = vtable_slots(objdump, cxxfilt, obj, mangled)
    check(slots is not None, f"vtable of {cls} found")
    if slots is None:
        return obj
    for index, symbol in enumerate(slots):
        print(f"     {cls} slot {index:2}: {symbol}")
    check(contiguous, f"{cls}: the table has no gaps")
    prefix = f"velmora::{cls}::"
    check([s.removeprefix(prefix) for s in slots] == expected,
          f"{cls}: {len(expected)} slots in the host's order")
    return obj


def check_thiscall(objdump, cxxfilt, obj):
    text = run(objdump, "-d", obj)
    bodies = re.split(r"^[0-9a-f]+ <(.*?)>:$", text, flags=re.MULTILINE)
    functions = dict(zip(demangle(bodies[1::2], cxxfilt), bodies[2::2]))
    for slot, pops in PLUGIN_POPS.items():
        name = "velmora::VelmoraPlugin::" + PLUGIN_SLOTS[slot]
        body = functions.get(name, "")
        check(re.search(rf"\bret\s+\$0x{pops:x}\b", body) is not None,
              f"slot {slot} {PLUGIN_SLOTS[slot]} pops {pops} bytes (thiscall)")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--dll", required=True)
    parser.add_argument("--plugin-object", required=True, nargs="+")
    args = parser.parse_args()
    objects = [o for arg in args.plugin_object for o in arg.split(";")]
    cxxfilt = args.objdump.replace("objdump", "c++filt")

    check_exports(args.objdump, args.dll)
    plugin_obj = check_table(args.objdump, cxxfilt, objects, "velmora_plugin.cpp.obj",
                             "N7velmora13VelmoraPluginE", "VelmoraPlugin", PLUGIN_SLOTS)
    check_table(args.objdump, cxxfilt, objects, "plugin_info.cpp.obj",
                "N7velmora18InternalsPluginInfoE", "InternalsPluginInfo", INFO_SLOTS)
    if plugin_obj and "i686" in args.objdump:
        check_thiscall(args.objdump, cxxfilt, plugin_obj)

    print(f"{len(failures) == 0 and 'all checks passed' or str(len(failures)) + ' checks failed'}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
