// What only the Windows build can observe: a plug-in folder that the ANSI calls cannot name, for
// its script or for its length, and a host that stops the plug-in while it holds the loader's lock.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "plugin_under_test.h"

extern "C" {
#include "common/host_os.h"
}

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

template <class Function>
Function NtdllEntry(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

TEST_F(PluginWithTracker, InAFolderNamedInAnotherScriptPast260CharactersItReadsRecordsAndStops) {
    char directory[1024];
    ASSERT_NE(HostProgramDirectory(directory, sizeof directory), 0);
    // Cyrillic and Japanese, neither of them in the ANSI code page of a Western system, then
    // enough to make the library's path 350 characters long. The test writes it in its "\\?\"
    // form, in which std::filesystem lists no folder: it removes what it made one by one.
    const fs::path top = L"\\\\?\\" + (fs::temp_directory_path() / L"Велмора-ヘッド-").wstring() +
                         std::to_wstring(GetCurrentProcessId());
    const fs::path folder =
        top / std::wstring(100, L'a') / std::wstring(100, L'b') / std::wstring(100, L'c');
    fs::create_directories(folder);
    fs::copy_file(fs::path(directory) / HostPluginFileName(), folder / L"VelmoraWide.dll",
                  fs::copy_options::overwrite_existing);
    std::ofstream(folder / L"Velmora.cfg", std::ios::binary)
        << "[Settings]\nUse Tracker = false\nRecord Trace = true\n";

    // Loaded by its whole path first, then opened as the game would, by the name it is loaded as.
    const HMODULE loaded = LoadLibraryW((folder / L"VelmoraWide.dll").c_str());
    host::PluginLibrary library;
    std::string error;
    ASSERT_TRUE(loaded != nullptr && library.Open("VelmoraWide.dll", error)) << error;
    host::HostedPlugin plugin(library.CreateInstance());
    plugin.Start();
    float value = 0.0f;
    EXPECT_FALSE(plugin.QueryControl("Camera_MoveUp", &value)) << "Velmora.cfg was not read";
    const int reads = driver->Counters().reads;
    EXPECT_TRUE(test::WaitUntil([&] { return driver->Counters().reads > reads + 5; }));
    // As from the host's own DllMain: the polling thread cannot exit until the lock is free again.
    const auto lock = NtdllEntry<LONG(NTAPI*)(ULONG, ULONG*, ULONG_PTR*)>("LdrLockLoaderLock");
    const auto unlock = NtdllEntry<LONG(NTAPI*)(ULONG, ULONG_PTR)>("LdrUnlockLoaderLock");
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(lock != nullptr && unlock != nullptr && lock(0, nullptr, &cookie) == 0);
    const auto start = std::chrono::steady_clock::now();
    plugin.Stop();
    plugin.Delete();
    const auto stopped = std::chrono::steady_clock::now() - start;
    unlock(0, cookie);
    EXPECT_LT(stopped, 2s);
    library.Close();
    FreeLibrary(loaded);

    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder / L"Velmora-trace-*.csv").c_str(), &found);
    std::string header;
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        std::getline(std::ifstream(folder / found.cFileName, std::ios::binary), header);
        fs::remove(folder / found.cFileName);
    }
    EXPECT_EQ(header, "time_s,yaw_raw,pitch_raw,roll_raw\r") << "no trace, or not as it should be";
    fs::remove(folder / L"Velmora.cfg");
    fs::remove(folder / L"VelmoraWide.dll");
    for (fs::path made = folder; made != top.parent_path(); made = made.parent_path()) {
        fs::remove(made);
    }
}

}  // namespace
}  // namespace velmora::testing
