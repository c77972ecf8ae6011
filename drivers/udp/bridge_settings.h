#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace velmora::udp {

// How one angle of the sender's pose is turned before it reaches the plug-in.
struct AxisSetting {
    bool invert = false;
    double offset = 0.0;  // degrees, in the sender's convention, added after the inversion
};

// The contents of IWEARDRV.cfg. Every field keeps its default when its key is missing or its
// value cannot be read, so that a file with one typo still gives a working tracker.
struct BridgeSettings {
    std::uint32_t address = 0x7F000001;  // 127.0.0.1, host byte order
    std::uint16_t port = 4242;
    std::uint32_t stalenessMs = 500;
    AxisSetting yaw;
    AxisSetting pitch;
    AxisSetting roll;
};

// Lines of "key = value"; ';' starts a comment; keys in any letter case; unknown keys ignored; a
// later line wins over an earlier one.
BridgeSettings ParseSettings(std::string_view text);

// The file at `path` parsed; the defaults when it is missing or unreadable. Reads at most the
// first 64 KiB: it runs on the plug-in's polling thread.
BridgeSettings LoadSettings(const std::filesystem::path& path);

}  // namespace velmora::udp
