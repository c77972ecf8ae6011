#include "tracking/settings_load.h"

#include "config/settings_keys.h"
#include "config/settings_reader.h"

namespace velmora {
namespace {

void LoadFilterProfile(ConfigFile& config, const std::string& section, Switches& switches,
                       HeadFilters& filters, const SectionObserver& observe) {
    for (const std::string& name : ProfileChain(config, section)) {
        ProfileSection read = ReadProfile(config, name, filters.Settings());
        switches.ApplyDirections(read.directions);
        if (!switches.UseFiltering()) {
            for (FilterSettings& filter : read.filters) {
                filter.MinFrames = 1;
                filter.MaxFrames = 1;
            }
        }
        filters.Set(read.filters);
        if (observe) {
            observe({section, name, filters.Settings()});
        }
    }
}

}  // namespace

void ApplyLoad(ConfigFile& config, const std::string& vehicle, Switches& switches,
               HeadFilters& filters, const SectionObserver& observe) {
    switches.Apply(ReadSwitches(config));
    ApplyVehicleChange(config, vehicle, switches, filters, observe);
}

void ApplyVehicleChange(ConfigFile& config, const std::string& vehicle, Switches& switches,
                        HeadFilters& filters, const SectionObserver& observe) {
    LoadFilterProfile(config, keys::kGeneralFilter, switches, filters, observe);
    LoadFilterProfile(config, vehicle, switches, filters, observe);
}

}  // namespace velmora
