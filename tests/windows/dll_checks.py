"""What a Windows binary we ship shows from outside, read with pefile, for the check of the built
DLLs and of the release zip alike: exactly its entry points, undecorated and numbered 1 to n in
name order (the game may look the plug-in's up either way), and imports of Windows' own DLLs only
(a player has no MinGW runtime DLL)."""

from functools import partial

import pefile

PLUGIN_EXPORTS = ["GetPluginName", "GetPluginObjectCount", "GetPluginObjectInfo",
                  "GetPluginVersion"]
DRIVER_EXPORTS = ["IWRCloseTracker", "IWRGetTracking", "IWROpenTracker", "IWRZeroSet"]
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "msvcrt.dll", "advapi32.dll", "ntdll.dll"}
# The UDP bridge, and the settings check that listens as the bridge does, need Winsock too.
SOCKET_DLLS = SYSTEM_DLLS | {"ws2_32.dll"}

failures = []


def check(condition, message):
    print(("ok   " if condition else "FAIL ") + message)
    if not condition:
        failures.append(message)


def summary(passed_line):
    print(passed_line if not failures else f"{len(failures)} checks failed")
    return 1 if failures else 0


def check_boundary(name, data, imports_allowed, exports=()):
    """Checks a PE image's bytes; returns the image, parsed."""
    image = pefile.PE(data=data)
    exported = getattr(image, "DIRECTORY_ENTRY_EXPORT", None)
    found = sorted((s.name.decode() if s.name else "(no name)", s.ordinal)
                   for s in (exported.symbols if exported else []))
    wanted = [(n, i + 1) for i, n in enumerate(exports)]  # undecorated, numbered in name order
    check(found == wanted, f"{name} exports exactly {wanted}, found {found}")
    imports = {i.dll.decode().lower() for i in getattr(image, "DIRECTORY_ENTRY_IMPORT", [])}
    check(imports <= imports_allowed,
          f"{name} imports only Windows system DLLs: " + ", ".join(sorted(imports)))
    return image


check_plugin = partial(check_boundary, imports_allowed=SYSTEM_DLLS, exports=PLUGIN_EXPORTS)
check_driver = partial(check_boundary, imports_allowed=SOCKET_DLLS, exports=DRIVER_EXPORTS)
