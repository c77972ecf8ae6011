#pragma once

// Every section and key of Velmora.cfg in one place, each key with where it counts, how its value
// reads and what it sets. The reader applies the file by this table, the settings check reports
// by it and the tuning bench writes its keys from it, so a new filter key is a line here and a
// field of FilterSettings.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "config/filter_settings.h"
#include "config/overrides.h"

namespace velmora {
namespace keys {

inline constexpr char kSettingsFile[] = "Velmora.cfg";

inline constexpr char kSettings[] = "Settings";
inline constexpr char kGeneralFilter[] = "General Filter";

inline constexpr char kCopyFrom[] = "Copy From";
inline constexpr char kUseFiltering[] = "Use Filtering";

// Which way the camera may turn; the order of the profile's flags.
enum class Direction { YawLeft, YawRight, PitchUp, PitchDown, RollLeft, RollRight };

// The filters' axes, named as their keys begin.
inline constexpr std::array<const char*, 3> kAxes = {"Yaw", "Pitch", "Roll"};

}  // namespace keys

enum class KeyPlace {
    Settings,  // counts only in [Settings]
    Profile,   // counts in a profile section
    EachAxis,  // a profile key once per axis, named after it: "Yaw MinFrames"
};

enum class KeyType {
    Flag,  // on exactly for "true" in any letter case
    Int,
    Float,
    // A whole number, only when the value is not empty (an unreadable one asks for 0), made a
    // ring length against MinFrames as just set.
    RingLength,
    SectionName,
};

// What a key sets: a switch, a direction, a field of each filter, or nothing ("Copy From").
using KeyField =
    std::variant<std::monostate, std::optional<bool> SwitchOverrides::*, keys::Direction,
                 std::int32_t FilterSettings::*, float FilterSettings::*>;

struct SettingKey {
    const char* name;  // an EachAxis key's after the axis's name and a space
    KeyPlace place;
    KeyType type;
    KeyField field;
    std::optional<double> floor = std::nullopt;    // a number below it counts as it
    std::optional<double> ceiling = std::nullopt;  // a number above it counts as it
};

// The axis keys in the order of the guide's columns, which is also an order that applies a ring
// length after the MinFrames it is held to.
inline constexpr std::array kSettingKeys = {
    SettingKey{"Use Tracker", KeyPlace::Settings, KeyType::Flag, &SwitchOverrides::useTracker},
    SettingKey{"TestMode", KeyPlace::Settings, KeyType::Flag, &SwitchOverrides::testMode},
    SettingKey{keys::kUseFiltering, KeyPlace::Settings, KeyType::Flag,
               &SwitchOverrides::useFiltering},
    SettingKey{"Record Trace", KeyPlace::Settings, KeyType::Flag, &SwitchOverrides::recordTrace},
    // Read from [Settings] whenever a profile section applies, onto all three filters.
    SettingKey{"SD Skipfactor", KeyPlace::Settings, KeyType::Float, &FilterSettings::SDSkipfactor},
    SettingKey{keys::kCopyFrom, KeyPlace::Profile, KeyType::SectionName, std::monostate{}},
    SettingKey{"Yaw Left Enabled", KeyPlace::Profile, KeyType::Flag, keys::Direction::YawLeft},
    SettingKey{"Yaw Right Enabled", KeyPlace::Profile, KeyType::Flag, keys::Direction::YawRight},
    SettingKey{"Pitch Up Enabled", KeyPlace::Profile, KeyType::Flag, keys::Direction::PitchUp},
    SettingKey{"Pitch Down Enabled", KeyPlace::Profile, KeyType::Flag, keys::Direction::PitchDown},
    SettingKey{"Roll Left Enabled", KeyPlace::Profile, KeyType::Flag, keys::Direction::RollLeft},
    SettingKey{"Roll Right Enabled", KeyPlace::Profile, KeyType::Flag, keys::Direction::RollRight},
    SettingKey{"MinFrames", KeyPlace::EachAxis, KeyType::Int, &FilterSettings::MinFrames, 1.0},
    SettingKey{"MaxFrames", KeyPlace::EachAxis, KeyType::RingLength, &FilterSettings::MaxFrames},
    SettingKey{"DecreaseFrame", KeyPlace::EachAxis, KeyType::Float, &FilterSettings::DecreaseFrame,
               1.0},
    SettingKey{"OffsetFrame", KeyPlace::EachAxis, KeyType::Int, &FilterSettings::OffsetFrame, 0.0},
    SettingKey{"Trend", KeyPlace::EachAxis, KeyType::Float, &FilterSettings::Trend, 0.0, 1.0},
};

// Each line's type and field agree: a flag sets a switch or a direction, a number a filter's field
// of its kind, only a number has a floor, and only a fraction a ceiling (the settings check
// reports a clamp from above for fractions alone).
constexpr bool Agrees(const SettingKey& key) {
    const bool whole = std::holds_alternative<std::int32_t FilterSettings::*>(key.field);
    const bool fraction = std::holds_alternative<float FilterSettings::*>(key.field);
    if (key.ceiling && (key.type != KeyType::Float || (key.floor && *key.floor > *key.ceiling))) {
        return false;
    }
    switch (key.type) {
        case KeyType::Flag:
            return !whole && !fraction && !std::holds_alternative<std::monostate>(key.field) &&
                   !key.floor && key.place != KeyPlace::EachAxis;
        case KeyType::Int:
            return whole;
        case KeyType::Float:
            return fraction;
        case KeyType::RingLength:
            return whole && !key.floor;
        case KeyType::SectionName:
            return std::holds_alternative<std::monostate>(key.field) && !key.floor;
    }
    return false;
}
static_assert([] {
    for (const SettingKey& key : kSettingKeys) {
        if (!Agrees(key)) {
            return false;
        }
    }
    return true;
}());

// A key's name as the file writes it: an axis key's after its axis's ("Yaw MinFrames").
inline std::string KeyName(const SettingKey& key, std::size_t axis) {
    return key.place == KeyPlace::EachAxis ? std::string(keys::kAxes[axis]) + " " + key.name
                                           : std::string(key.name);
}

// Whether the key sets a field of the filters.
inline bool SetsFilter(const SettingKey& key) {
    return std::holds_alternative<std::int32_t FilterSettings::*>(key.field) ||
           std::holds_alternative<float FilterSettings::*>(key.field);
}

// The field of `settings` that the key sets; only for a key that SetsFilter.
inline double FilterField(const SettingKey& key, const FilterSettings& settings) {
    if (const auto* whole = std::get_if<std::int32_t FilterSettings::*>(&key.field)) {
        return settings.*(*whole);
    }
    return settings.*std::get<float FilterSettings::*>(key.field);
}

}  // namespace velmora
