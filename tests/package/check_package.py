#!/usr/bin/env python3
"""Checks the release zip as a player receives it.

- It is named after the project's version and its .sha256 beside it matches.
- It holds exactly the expected files in one top folder: nothing missing, no test tool, no trace.
- Both DLLs are i686, export exactly their entry points, import only Windows system DLLs, and
  carry the project's version in their version resource; the plug-in's own name is unchanged.
- The settings check velmora-check.exe and the tuning bench velmora-tune.exe are i686 console
  programs that need no DLL but Windows' own (and Winsock, for the check), with the same version.
- The guide names the version and the settings check, the CHANGELOG's newest entry is this version,
  the example files are the repository's, and every text file has Windows line ends.
"""

import argparse
import hashlib
import pathlib
import re
import sys
import zipfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "windows"))
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent.parent / "packaging"))
import pe_image  # noqa: E402
from dll_checks import SYSTEM_DLLS, check, check_driver, check_plugin, check_program, summary  # noqa: E402
from make_package import project_version  # noqa: E402

EXPECTED_FILES = [
    "CHANGELOG.md", "LICENSE", "UDP-bridge/IWEARDRV.DLL", "UDP-bridge/IWEARDRV.cfg",
    "UDP-bridge/README.txt", "Velmora-Guide.txt", "Velmora.cfg", "Velmora.dll",
    "licenses/GPL-3.txt", "licenses/README.txt", "licenses/gcc-runtime.txt",
    "licenses/mingw-w64-runtime.txt", "velmora-check.exe", "velmora-tune.exe",
]
# The game lists the plug-in by these; a release must never change them.
PLUGIN_NAMES = [b"Velmora Plugin - 2008.5.11\0", b"HeadTracker\0"]
# Files the package takes unchanged but for line ends.
COPIED = {"Velmora.cfg": "Velmora.cfg", "UDP-bridge/IWEARDRV.cfg": "drivers/udp/IWEARDRV.cfg",
          "LICENSE": "LICENSE", "CHANGELOG.md": "CHANGELOG.md"}

def check_checksum(archive):
    checksum = archive.with_name(archive.name + ".sha256")
    if not checksum.exists():
        check(False, f"{checksum.name} beside the zip")
        return
    digest = hashlib.sha256(archive.read_bytes()).hexdigest()
    check(checksum.read_text() == f"{digest}  {archive.name}\n",
          f"{checksum.name} holds the zip's SHA-256 in sha256sum's format")


def check_machine_and_version(name, data, version):
    image = pe_image.PeImage(data)
    check(image.machine == pe_image.MACHINE_I386, f"{name} is a 32-bit x86 (i686) image")
    resource = image.version_resource()
    check(resource is not None, f"{name} has a version resource")
    if resource is None:
        return
    file_version, product_version, strings = pe_image.parse_version(resource)
    dotted = ".".join(map(str, version + (0,)))
    print(f"     {name} version: {'.'.join(map(str, file_version))}, "
          + ", ".join(f"{k}={v!r}" for k, v in sorted(strings.items())))
    check(file_version == product_version == version + (0,),
          f"{name}: fixed file and product versions are {dotted}")
    check(strings.get("FileVersion") == dotted and strings.get("ProductVersion") == dotted,
          f"{name}: FileVersion and ProductVersion strings are {dotted}")
    check(strings.get("ProductName") == "Velmora", f"{name}: ProductName is Velmora")
    check(strings.get("OriginalFilename") == pathlib.PurePosixPath(name).name,
          f"{name}: OriginalFilename is its own name")
    check(all(strings.get(key) for key in ("CompanyName", "FileDescription", "LegalCopyright")),
          f"{name}: CompanyName, FileDescription and LegalCopyright are set")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("zip", type=pathlib.Path)
    parser.add_argument("--source", type=pathlib.Path, required=True)
    args = parser.parse_args()

    dotted = project_version(args.source)
    version = tuple(int(number) for number in dotted.split("."))
    folder = f"Velmora-{dotted}-win32"
    check(args.zip.name == f"{folder}.zip", f"the zip is named {folder}.zip")
    check_checksum(args.zip)

    with zipfile.ZipFile(args.zip) as archive:
        check(archive.testzip() is None, "every entry's CRC is right")
        names = archive.namelist()
        print("     files: " + ", ".join(names))
        check(sorted(names) == sorted(f"{folder}/{n}" for n in EXPECTED_FILES),
              f"exactly the expected files, in the folder {folder}")
        files = {n.removeprefix(folder + "/"): archive.read(n) for n in names}

    if "Velmora.dll" in files:
        dll = files["Velmora.dll"]
        check_plugin("Velmora.dll", dll)
        check_machine_and_version("Velmora.dll", dll, version)
        check(all(name in dll for name in PLUGIN_NAMES),
              "Velmora.dll still names itself \"Velmora Plugin - 2008.5.11\", \"HeadTracker\"")
    if "UDP-bridge/IWEARDRV.DLL" in files:
        driver = files["UDP-bridge/IWEARDRV.DLL"]
        check_driver("UDP-bridge/IWEARDRV.DLL", driver)
        check_machine_and_version("UDP-bridge/IWEARDRV.DLL", driver, version)
    if "velmora-tune.exe" in files:
        bench = pe_image.PeImage(files["velmora-tune.exe"])
        imports = {n.lower() for n in bench.imports()}
        print("     velmora-tune.exe imports: " + ", ".join(sorted(imports)))
        check(imports <= SYSTEM_DLLS, "velmora-tune.exe imports only Windows system DLLs")
        check(bench.subsystem == pe_image.SUBSYSTEM_CONSOLE,
              "velmora-tune.exe is a console program")
        check_machine_and_version("velmora-tune.exe", files["velmora-tune.exe"], version)

    if "velmora-check.exe" in files:
        program = files["velmora-check.exe"]
        check_program("velmora-check.exe", program)
        check_machine_and_version("velmora-check.exe", program, version)

    guide = files.get("Velmora-Guide.txt", b"").decode("utf-8", "replace")
    check(f"Velmora {dotted}".upper() in guide.upper() and "@PROJECT_VERSION@" not in guide,
          f"the guide names version {dotted}, with no placeholder left")
    check("velmora-check" in guide, "the guide names the settings check, velmora-check")
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
