#include "profile_replay.h"

#include <limits>

#include "plugin/velmora_plugin.h"

namespace velmora::tune {

ProfileReplay::ProfileReplay(const std::string& configPath, const std::string& vehicle)
    : plugin_(std::make_unique<VelmoraPlugin>()) {
    plugin_->PrepareSession();
    plugin_->LoadSettingsFrom(configPath);
    if (!vehicle.empty()) {
        plugin_->ChangeVehicle(vehicle);
    }
}

ProfileReplay::~ProfileReplay() = default;

void ProfileReplay::Feed(const sim::Pose& reading) {
    plugin_->AddReading(reading.yaw, reading.pitch, reading.roll);
}

std::array<std::int32_t, 3> ProfileReplay::Outputs() const {
    return {plugin_->yawFilter.Output, plugin_->pitchFilter.Output, plugin_->rollFilter.Output};
}

ControlValues ProfileReplay::QueryControls() {
    ControlValues values;
    for (std::size_t i = 0; i < kDrivenControls.size(); ++i) {
        float value = 0.0f;
        values[i] = plugin_->QueryControl(kDrivenControls[i], &value)
                        ? value
                        : std::numeric_limits<float>::quiet_NaN();
    }
    return values;
}

}  // namespace velmora::tune
