#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::udp {

// How one angle of the sender's pose is turned before it reaches the plug-in.
struct AxisSetting {
    bool invert = false;
    double offset = 0.0;  // degrees, in the sender's convention, added after the inversion
    bool operator==(const AxisSetting&) const = default;
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
    bool operator==(const BridgeSettings&) const = default;
};

// Every key of IWEARDRV.cfg, in the order of kBridgeKeys: the reader and the settings check
// both take the names from there.
enum class BridgeKey {
    Address,
    Port,
    StalenessMs,
    InvertYaw,
    InvertPitch,
    InvertRoll,
    OffsetYaw,
    OffsetPitch,
    OffsetRoll
};
inline constexpr std::array<const char*, 9> kBridgeKeys = {
    "address",     "port",       "staleness_ms", "invert_yaw", "invert_pitch",
    "invert_roll", "offset_yaw", "offset_pitch", "offset_roll"};

// The key a lower-case name stands for; nothing for a name the bridge does not know.
std::optional<BridgeKey> FindBridgeKey(std::string_view lowerCaseName);

// One line of the file that holds more than a comment.
struct BridgeLine {
    std::size_t number = 0;  // 1 for the file's first line
    std::string key;         // in lower case, without white space at either end
    std::string_view value;  // without white space at either end; a view into the text
    bool assigns = false;    // false for a line without '=', which the reader skips
};

// Lines of "key = value", split as the plug-in splits Velmora.cfg (';' starts a comment, a
// leading UTF-8 byte-order mark is skipped, CR LF ends a line as LF does); keys in any letter
// case, and tabs as well as spaces around a key or value. The bridge has no sections: a
// "[name]" line is one without '='.
std::vector<BridgeLine> SplitBridgeLines(std::string_view text);

// Sets the key's field from the value; false, with the field unchanged, for an unknown key or a
// value that cannot be read or lies outside its range. A yes/no value is on exactly when it reads
// "true" in any letter case and off for any other text, as in Velmora.cfg.
bool ApplyBridgeSetting(BridgeSettings& settings, std::string_view lowerCaseKey,
                        std::string_view value);

// Every line applied in turn: unknown keys and unreadable values are skipped, and a later line
// wins over an earlier one.
BridgeSettings ParseSettings(std::string_view text);

// The file at `path` (UTF-8), read as the plug-in reads its own, parsed; the defaults when it is
// missing or unreadable.
BridgeSettings LoadSettings(const std::string& path);

}  // namespace velmora::udp
