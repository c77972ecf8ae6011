#!/usr/bin/python3
"""Checks the release zip as a player receives it: its name and files, its binaries (i686, the
version, exports and imports, console programs), the guide, CHANGELOG, examples and line ends."""

import argparse
import pathlib
import re
import sys
import zipfile

import pefile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "windows"))
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent.parent / "packaging"))
from dll_checks import (SOCKET_DLLS, SYSTEM_DLLS, check, check_boundary, check_driver,  # noqa: E402
                        check_plugin, summary)
from make_package import project_version  # noqa: E402

EXPECTED_FILES = [
    "CHANGELOG.md", "LICENSE", "UDP-bridge/IWEARDRV.DLL", "UDP-bridge/IWEARDRV.cfg",
    "UDP-bridge/README.txt", "Velmora-Guide.txt", "Velmora.cfg", "Velmora.dll",
    "licenses/GPL-3.txt", "licenses/README.txt", "licenses/gcc-runtime.txt",
    "licenses/mingw-w64-runtime.txt", "velmora-check.exe", "velmora-tune.exe",
]
BINARIES = {  # the check of each binary's exports and imports
    "Velmora.dll": check_plugin,
    "UDP-bridge/IWEARDRV.DLL": check_driver,
    "velmora-check.exe": lambda name, data: check_boundary(name, data, SOCKET_DLLS),
    "velmora-tune.exe": lambda name, data: check_boundary(name, data, SYSTEM_DLLS),
}
# Stripped, as in the zip: a DLL in the game has no C++ stream or locale code (some 800 KB). 2%
# above Velmora.dll's 372,238 bytes; the bridge, doing less on the same runtime, is never larger.
PLUGIN_MAX_BYTES = 380_000
# Files the package takes unchanged but for line ends.
COPIED = {"Velmora.cfg": "Velmora.cfg", "UDP-bridge/IWEARDRV.cfg": "drivers/udp/IWEARDRV.cfg",
          "LICENSE": "LICENSE", "CHANGELOG.md": "CHANGELOG.md"}


def check_machine_and_version(name, image, dotted):
    check(image.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"],
          f"{name} is a 32-bit x86 (i686) image")
    if name.endswith(".exe"):
        console = pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_CUI"]
        check(image.OPTIONAL_HEADER.Subsystem == console, f"{name} is a console program")
    fixed = getattr(image, "VS_FIXEDFILEINFO", [None])[0]
    strings = {k.decode(): v.decode() for info in getattr(image, "FileInfo", [[]])[0]
               if info.Key == b"StringFileInfo" for table in info.StringTable
               for k, v in table.entries.items()}
    print(f"     {name} version: " + ", ".join(f"{k}={v!r}" for k, v in sorted(strings.items())))
    major, minor, patch = (int(n) for n in dotted.split("."))
    packed = (major << 16 | minor, patch << 16)
    check(fixed is not None and packed == (fixed.FileVersionMS, fixed.FileVersionLS)
          == (fixed.ProductVersionMS, fixed.ProductVersionLS),
          f"{name}: fixed file and product versions are {dotted}.0")
    wanted = {"FileVersion": f"{dotted}.0", "ProductVersion": f"{dotted}.0",
              "ProductName": "Velmora",
              "OriginalFilename": pathlib.PurePosixPath(name).name, "CompanyName": None,
              "FileDescription": None, "LegalCopyright": None}  # None: any text
    check(all(strings.get(k) and v in (None, strings[k]) for k, v in wanted.items()),
          f"{name}: " + ", ".join(f"{k} {v or 'set'}" for k, v in wanted.items()))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("zip", type=pathlib.Path)
    parser.add_argument("--source", type=pathlib.Path, required=True)
    args = parser.parse_args()

    dotted = project_version(args.source)
    folder = f"Velmora-{dotted}-win32"
    check(args.zip.name == f"{folder}.zip", f"the zip is named {folder}.zip")

    with zipfile.ZipFile(args.zip) as archive:
        names = archive.namelist()
        print("     files: " + ", ".join(names))
        check(sorted(names) == sorted(f"{folder}/{n}" for n in EXPECTED_FILES),
              f"exactly the expected files, in the folder {folder}")
        files = {n.removeprefix(folder + "/"): archive.read(n) for n in names}

    for name, check_exports_and_imports in BINARIES.items():
        if name in files:
            check_machine_and_version(name, check_exports_and_imports(name, files[name]), dotted)

    plugin, bridge = (len(files.get(n, b"")) for n in ("Velmora.dll", "UDP-bridge/IWEARDRV.DLL"))
    check(0 < plugin <= PLUGIN_MAX_BYTES, f"Velmora.dll: {plugin:,} bytes <= {PLUGIN_MAX_BYTES:,}")
    check(0 < bridge <= plugin, f"IWEARDRV.DLL: {bridge:,} bytes <= Velmora.dll's")

    guide = files.get("Velmora-Guide.txt", b"").decode("utf-8", "replace")
    check(f"Velmora {dotted}".upper() in guide.upper() and "@PROJECT_VERSION@" not in guide
          and "velmora-check" in guide,
          f"the guide names version {dotted}, with no placeholder left, and velmora-check")
    changelog = files.get("CHANGELOG.md", b"").decode("utf-8", "replace")
    newest = re.search(r"^## (\S+)", changelog, re.MULTILINE)
    check(newest is not None and newest.group(1) == dotted,
          f"the CHANGELOG's newest entry is {dotted}")
    for name, source in COPIED.items():
        original = (args.source / source).read_bytes().replace(b"\n", b"\r\n")
        check(files.get(name) == original, f"{name} is the repository's {source}")
    texts = [n for n in files if not n.lower().endswith((".dll", ".exe"))]
    check(all(files[n].count(b"\n") == files[n].count(b"\r\n") for n in texts),
          "every text file has Windows line ends")

    return summary("all package checks passed")


if __name__ == "__main__":
    sys.exit(main())
