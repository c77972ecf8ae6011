// Turns Velmora.cfg into the plug-in's switches and filter parameters. Every key is an override:
// a missing, empty or unreadable value leaves its field as it was.

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "plugin/velmora_plugin.h"

namespace velmora {
namespace {

constexpr char kSettingsFileName[] = "Velmora.cfg";
constexpr char kSettingsSection[] = "Settings";
constexpr char kGeneralProfile[] = "General Filter";

// A ring longer than 100 s of readings smooths nothing more, and each reading's cost (paid under
// the lock the game's camera query waits for) grows with the ring: longer requests are cut here.
constexpr std::int32_t kLongestRing = 10000;

void ApplyFlag(std::atomic<bool>& flag, const std::string& value) {
    if (!value.empty()) {
        flag.store(ConfigFile::IsTrue(value), std::memory_order_relaxed);
    }
}

struct AxisKeys {
    const char* minFrames;
    const char* offsetFrame;
    const char* decreaseFrame;
    const char* maxFrames;
};

constexpr AxisKeys kYawKeys{"Yaw MinFrames", "Yaw OffsetFrame", "Yaw DecreaseFrame",
                            "Yaw MaxFrames"};
constexpr AxisKeys kPitchKeys{"Pitch MinFrames", "Pitch OffsetFrame", "Pitch DecreaseFrame",
                              "Pitch MaxFrames"};
constexpr AxisKeys kRollKeys{"Roll MinFrames", "Roll OffsetFrame", "Roll DecreaseFrame",
                             "Roll MaxFrames"};

void ApplyAxis(ConfigFile& config, const std::string& section, const AxisKeys& keys,
               AxisFilter& filter) {
    ConfigFile::ReadInt(filter.MinFrames, config.Value(section, keys.minFrames));
    filter.MinFrames = std::max(filter.MinFrames, 1);
    ConfigFile::ReadInt(filter.OffsetFrame, config.Value(section, keys.offsetFrame));
    filter.OffsetFrame = std::max(filter.OffsetFrame, 0);
    ConfigFile::ReadFloat(filter.DecreaseFrame, config.Value(section, keys.decreaseFrame));
    if (1.0f > filter.DecreaseFrame) {
        filter.DecreaseFrame = 1.0f;
    }
    const std::string& maxFrames = config.Value(section, keys.maxFrames);
    if (!maxFrames.empty()) {
        // An unreadable length counts as 0, so the ring falls back to MinFrames.
        std::int32_t length = 0;
        ConfigFile::ReadInt(length, maxFrames);
        filter.SetMaxFrames(std::min(std::max(length, filter.MinFrames), kLongestRing));
    }
}

}  // namespace

void VelmoraPlugin::LoadSettings() {
    // Runs on either thread, inside host calls and the polling loop: nothing may escape.
    try {
        std::string directory;
        // Any address inside this library names it, whatever its file name: the name's own will do.
        if (platform::ModuleDirectory(kSettingsFileName, directory)) {
            LoadSettingsFrom(directory + kSettingsFileName);
        }
    } catch (...) {
    }
}

void VelmoraPlugin::LoadSettingsFrom(const std::string& path) {
    try {
        config.Load(path.c_str());
        ApplyFlag(enabled, config.Value(kSettingsSection, "Use Tracker"));
        ApplyFlag(testMode, config.Value(kSettingsSection, "TestMode"));
        ApplyFlag(useFiltering, config.Value(kSettingsSection, "Use Filtering"));
        LoadFilterProfile(kGeneralProfile);
        LoadFilterProfile(currentVehicle);
    } catch (...) {
    }
}

void VelmoraPlugin::ChangeVehicle(std::string_view name) {
    currentVehicle.assign(name);
    LoadFilterProfile(kGeneralProfile);
    LoadFilterProfile(currentVehicle);
}

void VelmoraPlugin::LoadFilterProfile(const std::string& section) {
    try {
        // Follow "Copy From" to the farthest ancestor first, without recursion: a chain may be as
        // long as the file. A section already in the chain ends it, which stops loops and leaves
        // every loop-free file's meaning alone. A section without keys ends it too: it applies
        // nothing, not even its own "Copy From".
        std::vector<std::string> chain;
        std::set<std::string> inChain;
        for (std::string name = section; !inChain.count(name) && config.KeyCount(name) != 0;) {
            inChain.insert(name);
            chain.push_back(name);
            name = config.Value(name, "Copy From");
            if (name.empty()) {
                break;
            }
        }
        for (auto profile = chain.rbegin(); profile != chain.rend(); ++profile) {
            ApplyProfileSection(*profile);
        }
    } catch (...) {
    }
}

void VelmoraPlugin::ApplyProfileSection(const std::string& section) {
    ApplyFlag(yawLeftEnabled, config.Value(section, "Yaw Left Enabled"));
    ApplyFlag(yawRightEnabled, config.Value(section, "Yaw Right Enabled"));
    ApplyFlag(pitchUpEnabled, config.Value(section, "Pitch Up Enabled"));
    ApplyFlag(pitchDownEnabled, config.Value(section, "Pitch Down Enabled"));
    ApplyFlag(rollLeftEnabled, config.Value(section, "Roll Left Enabled"));
    ApplyFlag(rollRightEnabled, config.Value(section, "Roll Right Enabled"));

    // The outlier factor is global: it counts only in "Settings", whichever profile is applied.
    float skipFactor = std::numeric_limits<float>::quiet_NaN();
    ConfigFile::ReadFloat(skipFactor, config.Value(kSettingsSection, "SD Skipfactor"));
    if (!std::isnan(skipFactor)) {
        yawFilter.SDSkipfactor = pitchFilter.SDSkipfactor = rollFilter.SDSkipfactor = skipFactor;
    }

    ApplyAxis(config, section, kYawKeys, yawFilter);
    ApplyAxis(config, section, kPitchKeys, pitchFilter);
    ApplyAxis(config, section, kRollKeys, rollFilter);

    if (!useFiltering.load(std::memory_order_relaxed)) {
        for (AxisFilter* filter : {&yawFilter, &pitchFilter, &rollFilter}) {
            filter->MinFrames = 1;
        }
        for (AxisFilter* filter : {&yawFilter, &pitchFilter, &rollFilter}) {
            filter->SetMaxFrames(1);
        }
    }
}

}  // namespace velmora
