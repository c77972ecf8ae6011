#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/findings.h"
#include "config/config_file.h"
#include "config/filter_settings.h"

namespace velmora::check {

// What the plug-in applies while the player drives one car: its switches and filters after it
// has read the file and the game has named the car. Computed by the plug-in's own path from a
// parsed file to the switches and the filters (tracking/settings_load.h), as a session takes it:
// Start reads the file before any car is known, then the game names the car.
struct AppliedProfile {
    std::string car;                    // empty: a car without a section of its own
    std::vector<std::string> sections;  // in the order the naming of the car applies them
    std::size_t generalSections = 0;    // how many of them come from "General Filter"
    bool useTracker = true;
    bool testMode = false;
    bool useFiltering = true;
    bool recordTrace = false;
    std::array<FilterSettings, 3> axes;  // yaw, pitch, roll
    std::array<bool, 6> directions{};    // in keys::Direction order
};

// `car` nothing: a car without a section of its own. Lookups insert into `config`, as the
// plug-in's do.
AppliedProfile ApplyProfiles(ConfigFile& config, const std::optional<std::string>& car);

// Velmora.cfg as the plug-in reads it: what may surprise a player, line by line, and what the
// plug-in applies for a car without a section of its own and for each section that could be a
// car's.
struct SettingsReport {
    std::vector<Finding> findings;
    std::vector<AppliedProfile> profiles;  // the first for "any other car"
};

SettingsReport CheckSettings(std::string_view bytes);

}  // namespace velmora::check
