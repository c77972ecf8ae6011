#include "profile_replay.h"

#include <limits>

namespace velmora::tune {

ProfileReplay::ProfileReplay(const std::string& configPath, const std::string& vehicle)
    : head_(switches_, configPath), controls_(head_, switches_) {
    head_.BeginSession();
    controls_.Bind();
    if (!vehicle.empty()) {
        head_.ChangeVehicle(vehicle);
    }
}

ProfileReplay::ProfileReplay(SettingsText settings, const std::string& vehicle)
    : head_(switches_, ""), controls_(head_, switches_) {
    head_.BeginSession(settings.text);
    controls_.Bind();
    if (!vehicle.empty()) {
        head_.ChangeVehicle(vehicle);
    }
}

void ProfileReplay::Feed(const sim::Pose& reading) {
    head_.AddReading({reading.yaw, reading.pitch, reading.roll});
}

std::array<std::int32_t, 3> ProfileReplay::Outputs() const {
    Reading outputs;
    head_.Outputs(outputs);
    return {outputs.yaw, outputs.pitch, outputs.roll};
}

ControlValues ProfileReplay::QueryControls() {
    ControlValues values;
    for (std::size_t i = 0; i < kControlNames.size(); ++i) {
        float value = 0.0f;
        values[i] = controls_.Query(kControlNames[i], &value)
                        ? value
                        : std::numeric_limits<float>::quiet_NaN();
    }
    return values;
}

}  // namespace velmora::tune
