#include "applied_profiles.h"

#include "config/settings_keys.h"
#include "config/settings_reader.h"
#include "tracking/head_filters.h"
#include "tracking/switches.h"

namespace velmora::check {
namespace {

// The plug-in's order: the session begins, the switches are read, then "General Filter" and the
// car's section are applied, each after its "Copy From" chain. (Key lines before the first
// header, applied only until the game names a car, are left out; the check reports them.) `observe`
// sees each section's overrides and the filters just after they were applied.
template <class Observe>
void Replay(ConfigFile& config, const std::optional<std::string>& car, Switches& switches,
            HeadFilters& filters, bool forceFiltering, Observe observe) {
    switches.BeginSession();
    switches.Apply(ReadSwitches(config));
    std::vector<std::string> profiles = {keys::kGeneralFilter};
    if (car) {
        profiles.push_back(*car);
    }
    for (const std::string& profile : profiles) {
        for (const std::string& name : ProfileChain(config, profile)) {
            const ProfileOverrides overrides = ReadProfile(config, name);
            switches.ApplyDirections(overrides);
            filters.Apply(overrides, forceFiltering || switches.UseFiltering());
            observe(profile, name, overrides, filters);
        }
    }
}

}  // namespace

AppliedProfile ApplyProfiles(ConfigFile& config, const std::optional<std::string>& car) {
    AppliedProfile applied;
    applied.car = car.value_or("");
    Switches switches;
    HeadFilters filters;
    Replay(config, car, switches, filters, false,
           [&](const std::string& profile, const std::string& name, const ProfileOverrides&,
               const HeadFilters&) {
               applied.sections.push_back(name);
               applied.generalSections += profile == keys::kGeneralFilter ? 1 : 0;
           });
    applied.useTracker = switches.Enabled();
    applied.testMode = switches.TestMode();
    applied.useFiltering = switches.UseFiltering();
    applied.recordTrace = switches.RecordTrace();
    applied.axes = filters.Settings();
    for (std::size_t i = 0; i < applied.directions.size(); ++i) {
        applied.directions[i] = switches.Allows(static_cast<keys::Direction>(i));
    }
    return applied;
}

std::vector<RingOutcome> RingOutcomes(ConfigFile& config, const std::optional<std::string>& car) {
    std::vector<RingOutcome> outcomes;
    Switches switches;
    HeadFilters filters;
    Replay(config, car, switches, filters, true,
           [&](const std::string&, const std::string& name, const ProfileOverrides& overrides,
               const HeadFilters& after) {
               const std::array<const AxisFilter*, 3> axes = {&after.Yaw(), &after.Pitch(),
                                                              &after.Roll()};
               for (std::size_t i = 0; i < axes.size(); ++i) {
                   if (overrides.axes[i].maxFrames) {
                       outcomes.push_back(
                           {name, i, *overrides.axes[i].maxFrames, axes[i]->MaxFrames()});
                   }
               }
           });
    return outcomes;
}

}  // namespace velmora::check
