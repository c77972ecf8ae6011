#pragma once

// Every section and key name of Velmora.cfg, in one place: the readers, the settings check and
// the tests all take them from here.

#include <array>

namespace velmora::keys {

inline constexpr char kSettingsFile[] = "Velmora.cfg";

inline constexpr char kSettings[] = "Settings";
inline constexpr char kGeneralFilter[] = "General Filter";

// In "Settings".
inline constexpr char kUseTracker[] = "Use Tracker";
inline constexpr char kTestMode[] = "TestMode";
inline constexpr char kUseFiltering[] = "Use Filtering";
inline constexpr char kSdSkipfactor[] = "SD Skipfactor";
inline constexpr char kRecordTrace[] = "Record Trace";

// In a profile section.
inline constexpr char kCopyFrom[] = "Copy From";

// Which way the camera may turn; the order of the profile's flags.
enum class Direction { YawLeft, YawRight, PitchUp, PitchDown, RollLeft, RollRight };
inline constexpr std::array<const char*, 6> kDirections = {
    "Yaw Left Enabled",   "Yaw Right Enabled", "Pitch Up Enabled",
    "Pitch Down Enabled", "Roll Left Enabled", "Roll Right Enabled"};

// The filter keys of one axis.
struct AxisKeys {
    const char* minFrames;
    const char* offsetFrame;
    const char* decreaseFrame;
    const char* maxFrames;
};

enum class Axis { Yaw, Pitch, Roll };
inline constexpr std::array<AxisKeys, 3> kAxes = {{
    {"Yaw MinFrames", "Yaw OffsetFrame", "Yaw DecreaseFrame", "Yaw MaxFrames"},
    {"Pitch MinFrames", "Pitch OffsetFrame", "Pitch DecreaseFrame", "Pitch MaxFrames"},
    {"Roll MinFrames", "Roll OffsetFrame", "Roll DecreaseFrame", "Roll MaxFrames"},
}};

}  // namespace velmora::keys
