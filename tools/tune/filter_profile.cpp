#include "filter_profile.h"

#include <cstdio>

#include "config/number_reader.h"
#include "config/settings_keys.h"
#include "report_text.h"

namespace velmora::tune {
namespace {

// The fewest digits that the plug-in's own reader turns back into the same float, so that the
// pasted profile is exactly the one measured.
std::string FloatText(float value) {
    char text[32];
    for (int digits = 6; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        if (ParseFloat(text) == value) {
            break;
        }
    }
    return text;
}

}  // namespace

std::string PasteBlock(const FilterProfile& profile, const std::string& section,
                       const std::string& comment) {
    std::string block = "; " + comment + "\n";
    Add(block, {"[", keys::kSettings, "]\n", keys::kSdSkipfactor, " = ",
                FloatText(OutlierFactor(profile)), "\n\n[", section, "]\n"});
    for (std::size_t i = 0; i < profile.size(); ++i) {
        const keys::AxisKeys& name = keys::kAxes[i];
        const FilterSettings& value = profile[i];
        Add(block, {name.minFrames, " = ", std::to_string(value.MinFrames), "\n", name.maxFrames,
                    " = ", std::to_string(value.MaxFrames), "\n", name.decreaseFrame, " = ",
                    FloatText(value.DecreaseFrame), "\n", name.offsetFrame, " = ",
                    std::to_string(value.OffsetFrame), "\n"});
    }
    return block + "\n";
}

std::string PastedOnTop(const std::string& block, const std::string& settings) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (settings.starts_with(kByteOrderMark)) {
        return std::string(kByteOrderMark) + block + settings.substr(kByteOrderMark.size());
    }
    return block + settings;
}

}  // namespace velmora::tune
