#pragma once

#include <array>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "config/filter_settings.h"
#include "config/overrides.h"

namespace velmora {

// Turns the parsed file into values, key by key as the table in settings_keys.h says. Every
// lookup inserts what is missing, as the file's own rules ask; the calls come in the order a load
// makes them (the switches, then each profile's chain, then its sections), so the map ends up
// the same.

SwitchOverrides ReadSwitches(ConfigFile& config);

// The sections a profile applies, farthest "Copy From" ancestor first, the section itself last.
// A section without keys ends the chain (and is not in it); so does one already in it, which
// stops loops and leaves every loop-free file's meaning alone.
std::vector<std::string> ProfileChain(ConfigFile& config, const std::string& section);

// What one profile section's own keys (without its "Copy From") do.
struct ProfileSection {
    DirectionOverrides directions;
    std::array<FilterSettings, 3> filters;  // yaw, pitch, roll, as the section leaves them
};

// `section` applied to the filters' settings `filters`: each filter key it sets, held to its floor
// and ceiling, MaxFrames as a ring length against MinFrames as just set, and "SD Skipfactor" from
// "Settings" on all three.
ProfileSection ReadProfile(ConfigFile& config, const std::string& section,
                           const std::array<FilterSettings, 3>& filters);

}  // namespace velmora
