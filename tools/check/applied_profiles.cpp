#include "applied_profiles.h"

#include "config/settings_keys.h"
#include "tracking/settings_load.h"

namespace velmora::check {
namespace {

// A car without a section of its own: no section's name can hold a line break.
constexpr char kCarWithoutSection[] = "\n";

// The plug-in's session: Start reads the file while no car is known (which applies the key lines
// before the first header), then the game names the car. `observe` sees what the naming applies.
void Session(ConfigFile& config, const std::optional<std::string>& car, Switches& switches,
             HeadFilters& filters, const SectionObserver& observe) {
    switches.BeginSession();
    ApplyLoad(config, "", switches, filters);
    ApplyVehicleChange(config, car.value_or(kCarWithoutSection), switches, filters, observe);
}

}  // namespace

AppliedProfile ApplyProfiles(ConfigFile& config, const std::optional<std::string>& car) {
    AppliedProfile applied;
    applied.car = car.value_or("");
    Switches switches;
    HeadFilters filters;
    Session(config, car, switches, filters, [&](const AppliedSection& section) {
        applied.sections.push_back(section.section);
        applied.generalSections += section.profile == keys::kGeneralFilter ? 1 : 0;
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

std::vector<SectionOutcome> FilteredSections(const ConfigFile& config,
                                             const std::optional<std::string>& car) {
    // The same file with filtering on. A load looks the key up anyway, so the map's sections
    // hold the same keys as the plug-in's.
    ConfigFile filtered = config;
    filtered.Value(keys::kSettings, keys::kUseFiltering) = "true";
    std::vector<SectionOutcome> outcomes;
    Switches switches;
    HeadFilters filters;
    Session(filtered, car, switches, filters, [&](const AppliedSection& section) {
        outcomes.push_back({section.section, section.filters});
    });
    return outcomes;
}

}  // namespace velmora::check
