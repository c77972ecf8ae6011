#pragma once

#include <optional>
#include <string>
#include <vector>

#include "pose.h"
#include "tracking/raw_angle.h"

namespace velmora::tune {

enum class TraceUnits { FromHeader, Degrees, Raw };

// A head trace as the plug-in sees it: one reading per poll of the tracker, every 10 ms, each the
// newest recorded row at that moment (a tracker holds its last reading between updates).
struct PolledTrace {
    static constexpr double kPollSeconds = 0.01;

    std::vector<sim::Pose> readings;

    double Seconds(std::size_t index) const { return static_cast<double>(index) * kPollSeconds; }
    double Duration() const { return Seconds(readings.size()); }
};

// Reads a CSV trace ("time_s,yaw,pitch,roll", degrees or raw units). Empty, with the reason in
// `error`, when the file cannot be read or holds no row.
std::optional<PolledTrace> LoadPolledTrace(const std::string& path, TraceUnits units,
                                           std::string& error);

// The readings of one axis in degrees as the filter stores them: carried across the tracker's ±180°
// seam, so a head that crosses it does not jump. (A head that turns on past a full circle is
// brought back by a turn: the filter carries a reading over only when its sign flips.)
std::vector<double> StoredDegrees(const PolledTrace& trace, std::int32_t sim::Pose::*axis);

using raw_angle::RawToDegrees;

}  // namespace velmora::tune
