#include "config/settings_reader.h"

#include <set>

#include "config/number_reader.h"
#include "config/settings_keys.h"

namespace velmora {
namespace {

template <class Number>
std::optional<Number> AtLeast(std::optional<Number> value, Number floor) {
    if (value && floor > *value) {
        return floor;
    }
    return value;
}

AxisOverrides ReadAxis(ConfigFile& config, const std::string& section, const keys::AxisKeys& key) {
    AxisOverrides axis;
    axis.minFrames = AtLeast(ParseInt(config.Value(section, key.minFrames)), 1);
    axis.offsetFrame = AtLeast(ParseInt(config.Value(section, key.offsetFrame)), 0);
    axis.decreaseFrame = AtLeast(ParseFloat(config.Value(section, key.decreaseFrame)), 1.0f);
    const std::string& maxFrames = config.Value(section, key.maxFrames);
    if (!maxFrames.empty()) {
        axis.maxFrames = ParseInt(maxFrames).value_or(0);
    }
    return axis;
}

}  // namespace

SwitchOverrides ReadSwitches(ConfigFile& config) {
    SwitchOverrides switches;
    switches.useTracker = ParseFlag(config.Value(keys::kSettings, keys::kUseTracker));
    switches.testMode = ParseFlag(config.Value(keys::kSettings, keys::kTestMode));
    switches.useFiltering = ParseFlag(config.Value(keys::kSettings, keys::kUseFiltering));
    switches.recordTrace = ParseFlag(config.Value(keys::kSettings, keys::kRecordTrace));
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

ProfileOverrides ReadProfile(ConfigFile& config, const std::string& section) {
    ProfileOverrides profile;
    for (std::size_t i = 0; i < keys::kDirections.size(); ++i) {
        profile.directions[i] = ParseFlag(config.Value(section, keys::kDirections[i]));
    }
    profile.sdSkipfactor = ParseFloat(config.Value(keys::kSettings, keys::kSdSkipfactor));
    for (std::size_t i = 0; i < keys::kAxes.size(); ++i) {
        profile.axes[i] = ReadAxis(config, section, keys::kAxes[i]);
    }
    return profile;
}

}  // namespace velmora
