#include "config/settings_reader.h"

#include <set>

#include "config/number_reader.h"
#include "config/settings_keys.h"

namespace velmora {
namespace {

// A number held to the key's floor and ceiling.
template <class Number>
std::optional<Number> InRange(std::optional<Number> value, const SettingKey& key) {
    if (value && key.floor && *value < *key.floor) {
        return static_cast<Number>(*key.floor);
    }
    if (value && key.ceiling && *value > *key.ceiling) {
        return static_cast<Number>(*key.ceiling);
    }
    return value;
}

// One key's value onto the filter field it sets; an empty or unreadable value changes nothing,
// but for a ring length, which counts an unreadable value as 0.
void ApplyValue(const SettingKey& key, const std::string& value, FilterSettings& settings) {
    if (const auto* field = std::get_if<float FilterSettings::*>(&key.field)) {
        if (const auto read = InRange(ParseFloat(value), key)) {
            settings.*(*field) = *read;
        }
        return;
    }
    std::int32_t FilterSettings::*field = std::get<std::int32_t FilterSettings::*>(key.field);
    if (key.type == KeyType::RingLength) {
        if (!value.empty()) {
            settings.*field = RingLength(ParseInt(value).value_or(0), settings.MinFrames);
        }
    } else if (const auto read = InRange(ParseInt(value), key)) {
        settings.*field = *read;
    }
}

}  // namespace

SwitchOverrides ReadSwitches(ConfigFile& config) {
    SwitchOverrides switches;
    for (const SettingKey& key : kSettingKeys) {
        if (const auto* field = std::get_if<std::optional<bool> SwitchOverrides::*>(&key.field)) {
            switches.*(*field) = ParseFlag(config.Value(keys::kSettings, key.name));
        }
    }
    return switches;
}

std::vector<std::string> ProfileChain(ConfigFile& config, const std::string& section) {
    // Iterative rather than recursive: a chain may be as long as the file.
    std::vector<std::string> chain;
    std::set<std::string> inChain;
    for (std::string name = section; !inChain.count(name) && config.KeyCount(name) != 0;) {
        inChain.insert(name);
        chain.push_back(name);
        name = config.Value(name, keys::kCopyFrom);
        if (name.empty()) {
            break;
        }
    }
    return {chain.rbegin(), chain.rend()};
}

ProfileSection ReadProfile(ConfigFile& config, const std::string& section,
                           const std::array<FilterSettings, 3>& filters) {
    ProfileSection read{{}, filters};
    for (const SettingKey& key : kSettingKeys) {
        if (const auto* direction = std::get_if<keys::Direction>(&key.field)) {
            read.directions[static_cast<std::size_t>(*direction)] =
                ParseFlag(config.Value(section, key.name));
        }
    }
    const std::string settings = keys::kSettings;
    for (std::size_t axis = 0; axis < read.filters.size(); ++axis) {
        for (const SettingKey& key : kSettingKeys) {
            if (SetsFilter(key)) {
                const std::string& where = key.place == KeyPlace::Settings ? settings : section;
                ApplyValue(key, config.Value(where, KeyName(key, axis)), read.filters[axis]);
            }
        }
    }
    return read;
}

}  // namespace velmora
