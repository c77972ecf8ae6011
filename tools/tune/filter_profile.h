#pragma once

#include <array>
#include <string>

#include "config/filter_settings.h"

namespace velmora::tune {

// What --suggest tunes: the three filters' settings as the plug-in holds them, yaw, pitch, roll.
using FilterProfile = std::array<FilterSettings, 3>;

// "SD Skipfactor", which a load sets on the three filters alike.
inline float OutlierFactor(const FilterProfile& profile) {
    return profile[0].SDSkipfactor;
}
inline void SetOutlierFactor(FilterProfile& profile, float factor) {
    for (FilterSettings& axis : profile) {
        axis.SDSkipfactor = factor;
    }
}

// Lines that set every filter key, to go at the top of a Velmora.cfg: a key given twice in a
// section counts where it first appears, so they take the place of the same keys further down and
// the rest of the file (Copy From, the directions, other cars) stays as it was. `section` is the
// car's, or "General Filter".
std::string PasteBlock(const FilterProfile& profile, const std::string& section,
                       const std::string& comment);

// `settings` with `block` pasted at its top, as a text editor leaves it: after a byte-order mark.
std::string PastedOnTop(const std::string& block, const std::string& settings);

}  // namespace velmora::tune
