#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "tracking/head_filters.h"

namespace velmora::tune {

// The keys --suggest tunes: each axis's four filter keys and the outlier factor.
struct AxisKeys {
    std::int32_t minFrames = 1;
    std::int32_t maxFrames = 1;
    float decreaseFrame = 1.0f;
    std::int32_t offsetFrame = 0;

    friend bool operator==(const AxisKeys&, const AxisKeys&) = default;
};

struct FilterProfile {
    std::array<AxisKeys, 3> axes;  // yaw, pitch, roll
    float sdSkipfactor = 2.5f;

    // What the plug-in's filters hold once a file has been applied.
    static FilterProfile Of(const HeadFilters& filters);

    // Lines that set every key, to go at the top of a Velmora.cfg: a key given twice in a section
    // counts where it first appears, so they take the place of the same keys further down and the
    // rest of the file (Copy From, the directions, other cars) stays as it was. `section` is the
    // car's, or "General Filter".
    std::string PasteBlock(const std::string& section, const std::string& comment) const;
};

// `settings` with `block` pasted at its top, as a text editor leaves it: after a byte-order mark.
std::string PastedOnTop(const std::string& block, const std::string& settings);

}  // namespace velmora::tune
