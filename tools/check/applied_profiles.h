#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "config/filter_settings.h"

namespace velmora::check {

// What the plug-in applies while the player drives one car: its switches and filters after it
// has read the file and the game has named the car. Computed by the plug-in's own readers and
// components (ReadSwitches, ProfileChain, ReadProfile, Switches, HeadFilters), section by section
// as a load applies them.
struct AppliedProfile {
    std::string car;                    // empty: a car without a section of its own
    std::vector<std::string> sections;  // in the order applied
    std::size_t generalSections = 0;    // how many of them come from "General Filter"
    bool useTracker = true;
    bool testMode = false;
    bool useFiltering = true;
    bool recordTrace = false;
    std::array<FilterSettings, 3> axes;  // yaw, pitch, roll
    std::array<bool, 6> directions{};    // in keys::Direction order
};

// A section's MaxFrames and the ring length it gave, with filtering on (with it off every ring is
// one reading long, whatever a section asks).
struct RingOutcome {
    std::string section;
    std::size_t axis = 0;  // yaw, pitch, roll
    std::int32_t asked = 0;
    std::int32_t ring = 0;
};

// `car` nothing: "General Filter" alone. Lookups insert into `config`, as the plug-in's do.
AppliedProfile ApplyProfiles(ConfigFile& config, const std::optional<std::string>& car);
std::vector<RingOutcome> RingOutcomes(ConfigFile& config, const std::optional<std::string>& car);

}  // namespace velmora::check
