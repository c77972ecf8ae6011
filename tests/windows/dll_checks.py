"""What a Windows DLL we ship shows from outside, checked from its bytes: exactly its entry points,
undecorated (the plug-in's with ordinals 1 to 4 in name order, as the game looks them up), and
imports of Windows system DLLs only (a player has no MinGW runtime DLL); for a program we ship, no
exports and the same imports. The check of the built
DLLs and the check of the release zip both use it, so both hold the same contract."""

import pe_image

PLUGIN_EXPORTS = ["GetPluginName", "GetPluginObjectCount", "GetPluginObjectInfo",
                  "GetPluginVersion"]
DRIVER_EXPORTS = ["IWRCloseTracker", "IWRGetTracking", "IWROpenTracker", "IWRZeroSet"]
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "msvcrt.dll", "advapi32.dll", "ntdll.dll"}
DRIVER_IMPORTS = SYSTEM_DLLS | {"ws2_32.dll"}

failures = []


def check(condition, message):
    print(("ok   " if condition else "FAIL ") + message)
    if not condition:
        failures.append(message)


def summary(passed_line):
    print(passed_line if not failures else f"{len(failures)} checks failed")
    return 1 if failures else 0


def check_boundary(name, image, exports, imports_allowed, numbered=False):
    found = image.exports()
    print(f"     {name} exports: " + ", ".join(f"{n} @{o}" for o, n in found))
    check([n for _, n in found] == exports, f"{name} exports exactly its entry points, undecorated")
    if numbered:
        check([o for o, _ in found] == list(range(1, len(exports) + 1)),
              f"{name}: ordinals 1 to {len(exports)} in name order")
    imports = {n.lower() for n in image.imports()}
    print(f"     {name} imports: " + ", ".join(sorted(imports)))
    check(imports <= imports_allowed, f"{name} imports only Windows system DLLs")


def check_plugin(name, data):
    check_boundary(name, pe_image.PeImage(data), PLUGIN_EXPORTS, SYSTEM_DLLS, numbered=True)


def check_driver(name, data):
    check_boundary(name, pe_image.PeImage(data), DRIVER_EXPORTS, DRIVER_IMPORTS)


def check_program(name, data):
    # The settings check listens and sends over UDP, as the bridge does.
    check_boundary(name, pe_image.PeImage(data), [], DRIVER_IMPORTS)
