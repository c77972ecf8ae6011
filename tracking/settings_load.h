#pragma once

#include <array>
#include <functional>
#include <string>

#include "config/config_file.h"
#include "config/filter_settings.h"
#include "tracking/head_filters.h"
#include "tracking/switches.h"

namespace velmora {

// The one way a parsed settings file reaches the switches and the filters: the plug-in's loads
// and vehicle changes (under SharedHead's lock), the settings check and the tuning bench all take
// it. Lookups insert into `config` as the file's rules ask.

// One section as a load or a vehicle change applies it, for a caller that looks on.
struct AppliedSection {
    const std::string& profile;  // whose chain it is part of: "General Filter" or the vehicle's
    const std::string& section;
    const std::array<FilterSettings, 3>& filters;  // yaw, pitch, roll, as it leaves them
};
using SectionObserver = std::function<void(const AppliedSection&)>;

// A load of the file as parsed: the switches, then "General Filter"'s profile and the vehicle's.
// A profile is its "Copy From" chain, farthest ancestor first, each section's change applied on
// its own; with "Use Filtering" off each section ends with every filter passing its readings
// through. The vehicle's name is taken exactly; while none is known it is empty, and the key
// lines before the first header apply.
void ApplyLoad(ConfigFile& config, const std::string& vehicle, Switches& switches,
               HeadFilters& filters, const SectionObserver& observe = nullptr);

// A change of vehicle: "General Filter"'s profile and the vehicle's again, from the file as last
// parsed; the switches stay as they are.
void ApplyVehicleChange(ConfigFile& config, const std::string& vehicle, Switches& switches,
                        HeadFilters& filters, const SectionObserver& observe = nullptr);

}  // namespace velmora
