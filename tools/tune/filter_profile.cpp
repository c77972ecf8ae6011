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

FilterProfile FilterProfile::Of(const HeadFilters& filters) {
    FilterProfile profile;
    const std::array<const AxisFilter*, 3> axes = {&filters.Yaw(), &filters.Pitch(),
                                                   &filters.Roll()};
    for (std::size_t i = 0; i < axes.size(); ++i) {
        const FilterParameters& parameters = axes[i]->Parameters();
        profile.axes[i] = {parameters.MinFrames, axes[i]->MaxFrames(), parameters.DecreaseFrame,
                           parameters.OffsetFrame};
    }
    profile.sdSkipfactor = filters.Yaw().Parameters().SDSkipfactor;
    return profile;
}

std::string FilterProfile::PasteBlock(const std::string& section,
                                      const std::string& comment) const {
    std::string block = "; " + comment + "\n";
    Add(block, {"[", keys::kSettings, "]\n", keys::kSdSkipfactor, " = ", FloatText(sdSkipfactor),
                "\n\n[", section, "]\n"});
    for (std::size_t i = 0; i < axes.size(); ++i) {
        const keys::AxisKeys& name = keys::kAxes[i];
        const AxisKeys& value = axes[i];
        Add(block, {name.minFrames, " = ", std::to_string(value.minFrames), "\n", name.maxFrames,
                    " = ", std::to_string(value.maxFrames), "\n", name.decreaseFrame, " = ",
                    FloatText(value.decreaseFrame), "\n", name.offsetFrame, " = ",
                    std::to_string(value.offsetFrame), "\n"});
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
