"""What a Windows binary we ship shows from outside, read with pefile, for the check of the built
DLLs and of the release zip alike: exactly its entry points, undecorated (the plug-in's with
ordinals 1 to 4 in name order, as the game looks them up), and imports of Windows' own DLLs only
(a player has no MinGW runtime DLL)."""

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


def check_boundary(name, data, imports_allowed, exports=(), numbered=False):
    """Checks a PE image's bytes; returns the image, parsed."""
    image = pefile.PE(data=data)
    exported = getattr(image, "DIRECTORY_ENTRY_EXPORT", None)
    symbols = exported.symbols if exported else []
    found = sorted((s.name.decode() if s.name else f"(no name) @{s.ordinal}", s.ordinal)
                   for s in symbols)
    check([n for n, _ in found] == list(exports), f"{name} exports exactly its entry points, "
          "undecorated: " + ", ".join(f"{n} @{o}" for n, o in found))
    if numbered:
        check([o for _, o in found] == list(range(1, len(exports) + 1)),
              f"{name}: ordinals 1 to {len(exports)} in name order")
    imports = {i.dll.decode().lower() for i in getattr(image, "DIRECTORY_ENTRY_IMPORT", [])}
    check(imports <= imports_allowed,
          f"{name} imports only Windows system DLLs: " + ", ".join(sorted(imports)))
    return image


def check_plugin(name, data):
    return check_boundary(name, data, SYSTEM_DLLS, PLUGIN_EXPORTS, numbered=True)


def check_driver(name, data):
    return check_boundary(name, data, SOCKET_DLLS, DRIVER_EXPORTS)
