#!/usr/bin/env python3
"""Stages and zips the release: Velmora-<version>-win32.zip and its .sha256 beside it.

The version is the one `project()` names in CMakeLists.txt. The zip is the same for the same
inputs: entries in a fixed order with a fixed time, the DLLs stripped without a new time stamp,
text files with Windows line ends (Notepad on older Windows shows LF-only files as one line).
"""

import argparse
import datetime
import hashlib
import pathlib
import re
import shutil
import subprocess
import sys
import zipfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import reproducible_strip  # noqa: E402


def project_version(source):
    text = (source / "CMakeLists.txt").read_text()
    match = re.search(r"project\(\s*Velmora\s+VERSION\s+([0-9.]+)", text)
    if match is None:
        sys.exit("make_package: no project(Velmora VERSION ...) in CMakeLists.txt")
    return match.group(1)


def entry_time(source):
    """The last commit's time, so that a rebuild of one commit gives the same zip; a fixed date
    for a source tree without its history."""
    try:
        seconds = subprocess.run(["git", "-C", str(source), "log", "-1", "--format=%ct"],
                                 check=True, capture_output=True, text=True).stdout.strip()
        stamp = datetime.datetime.fromtimestamp(int(seconds), datetime.timezone.utc)
    except (OSError, subprocess.CalledProcessError, ValueError):
        stamp = datetime.datetime(2026, 12, 7, tzinfo=datetime.timezone.utc)
    # A zip entry holds local time to two seconds, from 1980 on.
    return max(stamp.timetuple()[:6], (1980, 1, 1, 0, 0, 0))


def windows_text(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def stage(source, build, strip_tool, version, folder):
    """Writes the package's files under `folder`; returns their paths relative to it."""
    if folder.exists():
        shutil.rmtree(folder)
    (folder / "licenses").mkdir(parents=True)
    (folder / "UDP-bridge").mkdir()

    def text(source_file, name, replace=None):
        content = (source / source_file).read_text(encoding="utf-8")
        if replace:
            content = content.replace(*replace)
        (folder / name).write_bytes(windows_text(content))

    reproducible_strip.strip(strip_tool, build / "bin" / "Velmora.dll", folder / "Velmora.dll")
    reproducible_strip.strip(strip_tool, build / "bin" / "udp-driver" / "IWEARDRV.DLL",
                             folder / "UDP-bridge" / "IWEARDRV.DLL")
    reproducible_strip.strip(strip_tool, build / "bin" / "velmora-check.exe",
                             folder / "velmora-check.exe")
    reproducible_strip.strip(strip_tool, build / "bin" / "velmora-tune.exe",
                             folder / "velmora-tune.exe")
    text("Velmora.cfg", "Velmora.cfg")
    text("docs/Velmora-Guide.txt", "Velmora-Guide.txt", ("@PROJECT_VERSION@", version))
    text("CHANGELOG.md", "CHANGELOG.md")
    text("LICENSE", "LICENSE")
    for licence in sorted((source / "packaging" / "licenses").iterdir()):
        text(licence.relative_to(source), f"licenses/{licence.name}")
    text("drivers/udp/IWEARDRV.cfg", "UDP-bridge/IWEARDRV.cfg")
    text("packaging/UDP-bridge-README.txt", "UDP-bridge/README.txt")
    return sorted(p.relative_to(folder).as_posix() for p in folder.rglob("*") if p.is_file())


def write_zip(folder, files, archive, when):
    with zipfile.ZipFile(archive, "w") as zip_file:
        for name in files:
            info = zipfile.ZipInfo(f"{folder.name}/{name}", date_time=when)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3
            info.external_attr = 0o100644 << 16
            zip_file.writestr(info, (folder / name).read_bytes(), compresslevel=9)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--source", type=pathlib.Path, required=True)
    parser.add_argument("--build", type=pathlib.Path, required=True, help="the win32 build tree")
    parser.add_argument("--strip", required=True, help="the i686 MinGW strip")
    parser.add_argument("--out", type=pathlib.Path, required=True)
    args = parser.parse_args()

    version = project_version(args.source)
    name = f"Velmora-{version}-win32"
    args.out.mkdir(parents=True, exist_ok=True)
    folder = args.out / name
    files = stage(args.source, args.build, args.strip, version, folder)
    archive = args.out / f"{name}.zip"
    write_zip(folder, files, archive, entry_time(args.source))
    digest = hashlib.sha256(archive.read_bytes()).hexdigest()
    (args.out / f"{name}.zip.sha256").write_text(f"{digest}  {archive.name}\n")
    print(archive)


if __name__ == "__main__":
    main()
