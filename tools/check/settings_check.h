#pragma once

#include <string_view>
#include <vector>

#include "applied_profiles.h"
#include "finding.h"

namespace velmora::check {

// Velmora.cfg as the plug-in reads it: what may surprise a player, line by line, and what the
// plug-in applies for a car without a section of its own and for each section that could be a
// car's.
struct SettingsReport {
    std::vector<Finding> findings;
    std::vector<AppliedProfile> profiles;  // the first for "any other car"
};

SettingsReport CheckSettings(std::string_view bytes);

}  // namespace velmora::check
