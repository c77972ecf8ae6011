// A stand-in for the game: built for Microsoft's i686 C++ ABI with no runtime at all, it loads the
// real Velmora.dll and drives it through the exports and the two tables, declared as the game
// declares them. It expects beside itself Velmora.dll with a Velmora.cfg, and the simulated
// driver in driver\IWEARDRV.DLL. With the argument "hung-driver" it checks only a Stop while the
// driver hangs, since the thread ended by force there may leave the driver unusable.

#include "host_checks.h"
#include "kernel32.h"
#include "text.h"

namespace {

constexpr unsigned kPathSize = 520;

// `name` in the directory of this program.
void BesideProgram(char (&path)[kPathSize], const char* name) {
    const unsigned long length = GetModuleFileNameA(nullptr, path, kPathSize);
    unsigned directory = 0;
    for (unsigned long i = 0; i < length && i < kPathSize; ++i) {
        if (path[i] == '\\' || path[i] == '/') {
            directory = static_cast<unsigned>(i) + 1;
        }
    }
    CopyText(path + directory, kPathSize - directory, name);
}

PluginObjectInfo* Descriptor(void* library) {
    using InfoExport = PluginObjectInfo* (*)(unsigned index);
    const auto getInfo =
        reinterpret_cast<InfoExport>(GetProcAddress(library, "GetPluginObjectInfo"));
    return getInfo != nullptr ? getInfo(0) : nullptr;
}

void Run(CheckTally& tally, bool hungDriver) {
    char path[kPathSize];
    BesideProgram(path, "driver\\IWEARDRV.DLL");
    SimulatedTracker tracker;
    if (!tally.Expect(tracker.Load(path), Line() << "simulated driver loaded from " << path)) {
        return;
    }
    BesideProgram(path, "Velmora.dll");
    void* library = LoadLibraryA(path);
    if (!tally.Expect(library != nullptr, Line() << "plug-in loaded from " << path)) {
        return;
    }
    if (hungDriver) {
        PluginObjectInfo* info = Descriptor(library);
        if (tally.Expect(info != nullptr, Line() << "descriptor found")) {
            CheckHungDriver(tally, info, tracker);
        }
        return;
    }
    PluginObjectInfo* info = CheckExports(tally, library);
    if (info != nullptr) {
        CheckDescriptor(tally, info);
        CheckObjects(tally, info, tracker);
    }
    tally.Expect(FreeLibrary(library) != 0, Line() << "plug-in unloaded");
}

}  // namespace

extern "C" [[noreturn]] void HostEntry() {
    CheckTally tally;
    const bool hungDriver = ContainsText(GetCommandLineA(), " hung-driver");
    Run(tally, hungDriver);
    ExitProcess(tally.Finish(hungDriver ? "msvc host, hung driver" : "msvc host"));
}
