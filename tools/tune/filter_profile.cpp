#include "filter_profile.h"

#include <cstdio>

#include "config/number_reader.h"
#include "config/settings_keys.h"

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

// "Key = value" for the filter key `key` as `settings` holds it.
std::string KeyLine(const SettingKey& key, std::size_t axis, const FilterSettings& settings) {
    const double value = FilterField(key, settings);
    return KeyName(key, axis) + " = " +
           (key.type == KeyType::Float ? FloatText(static_cast<float>(value))
                                       : std::to_string(static_cast<std::int32_t>(value))) +
           "\n";
}

}  // namespace

std::string PasteBlock(const FilterProfile& profile, const std::string& section,
                       const std::string& comment) {
    std::string block = "; " + comment + "\n[" + keys::kSettings + "]\n";
    for (const SettingKey& key : kSettingKeys) {
        if (key.place == KeyPlace::Settings && SetsFilter(key)) {
            block += KeyLine(key, 0, profile[0]);
        }
    }
    block += "\n[" + section + "]\n";
    for (std::size_t axis = 0; axis < profile.size(); ++axis) {
        for (const SettingKey& key : kSettingKeys) {
            if (key.place == KeyPlace::EachAxis) {
                block += KeyLine(key, axis, profile[axis]);
            }
        }
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
