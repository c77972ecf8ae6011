#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

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

// A section the naming of a car applies, and the filters as it leaves them with filtering on (with
// it off every ring is one reading long, whatever a section asks).
struct SectionOutcome {
    std::string section;
    std::array<FilterSettings, 3> filters;
};

// `car` nothing: a car without a section of its own. Lookups insert into `config`, as the
// plug-in's do.
AppliedProfile ApplyProfiles(ConfigFile& config, const std::optional<std::string>& car);
std::vector<SectionOutcome> FilteredSections(const ConfigFile& config,
                                             const std::optional<std::string>& car);

}  // namespace velmora::check
