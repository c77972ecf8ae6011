#pragma once

#include <string>
#include <vector>

#include "config/config_file.h"
#include "config/overrides.h"

namespace velmora {

// Turns the parsed file into overrides. Every lookup inserts what is missing, as the file's own
// rules ask; the calls come in the order a load makes them (the switches, then each profile's
// chain, then its sections), so the map ends up the same.

SwitchOverrides ReadSwitches(ConfigFile& config);

// The sections a profile applies, farthest "Copy From" ancestor first, the section itself last.
// A section without keys ends the chain (and is not in it); so does one already in it, which
// stops loops and leaves every loop-free file's meaning alone.
std::vector<std::string> ProfileChain(ConfigFile& config, const std::string& section);

ProfileOverrides ReadProfile(ConfigFile& config, const std::string& section);

}  // namespace velmora
