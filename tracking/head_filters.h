#pragma once

#include <array>

#include "config/filter_settings.h"
#include "tracking/axis_filter.h"
#include "tracking/reading.h"

namespace velmora {

// The three axes' filters, with the plug-in's built-in defaults. Not thread-safe: SharedHead
// guards them.
class HeadFilters {
public:
    void Add(const Reading& reading) {
        yaw_.AddSample(reading.yaw);
        pitch_.AddSample(reading.pitch);
        roll_.AddSample(reading.roll);
    }
    Reading Outputs() const { return {yaw_.Output(), pitch_.Output(), roll_.Output()}; }

    // Yaw, pitch, roll.
    std::array<FilterSettings, 3> Settings() const {
        return {yaw_.Settings(), pitch_.Settings(), roll_.Settings()};
    }
    // One change of all three; a ring that shrinks drops its oldest samples at once, even when a
    // later change grows it back.
    void Set(const std::array<FilterSettings, 3>& settings) {
        yaw_.Set(settings[0]);
        pitch_.Set(settings[1]);
        roll_.Set(settings[2]);
    }

    const AxisFilter& Yaw() const { return yaw_; }
    const AxisFilter& Pitch() const { return pitch_; }
    const AxisFilter& Roll() const { return roll_; }

private:
    AxisFilter yaw_{5, 250, 80.0f, 0};
    AxisFilter pitch_{5, 200, 80.0f, 0};
    AxisFilter roll_{5, 250, 90.0f, 0};
};

}  // namespace velmora
