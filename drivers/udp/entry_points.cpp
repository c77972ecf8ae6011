// The four entry points of the tracker driver, as the plug-in binds them by name: plain C
// functions, cdecl, 0 for success. No exception leaves them.
#include <cstdint>
#include <string>

#include "drivers/udp/udp_bridge.h"
#include "platform/platform.h"

namespace {

constexpr std::int32_t kFailed = 1;
// Beside the library; its address, which lies in the library, tells which folder that is.
constexpr char kSettingsFileName[] = "IWEARDRV.cfg";

// Empty when the system cannot say where the library is: the settings then keep their defaults.
std::string SettingsFile() {
    std::string directory;
    return velmora::platform::ModuleDirectory(kSettingsFileName, directory)
               ? directory + kSettingsFileName
               : std::string();
}

// Made on first use and never destroyed: a destructor would run while the process ends, under
// the loader's lock on Windows, where closing a socket is not safe. The system closes it then.
velmora::udp::UdpBridge& Bridge() {
    static auto* bridge = new velmora::udp::UdpBridge(SettingsFile());
    return *bridge;
}

template <class Call>
std::int32_t Guarded(Call call) {
    try {
        return call(Bridge());
    } catch (...) {
        return kFailed;
    }
}

}  // namespace

extern "C" {

std::int32_t IWROpenTracker(void) {
    return Guarded([](auto& bridge) { return bridge.Open(); });
}

std::int32_t IWRGetTracking(std::int32_t* yaw, std::int32_t* pitch, std::int32_t* roll) {
    return Guarded([&](auto& bridge) { return bridge.Read(yaw, pitch, roll); });
}

std::int32_t IWRCloseTracker(void) {
    return Guarded([](auto& bridge) { return bridge.Close(); });
}

std::int32_t IWRZeroSet(void) {
    return Guarded([](auto& bridge) { return bridge.ZeroSet(); });
}

}  // extern "C"
