#pragma once

#include <optional>
#include <string>
#include <vector>

#include "drivers/raw_angle.h"
#include "simdriver/pose.h"
#include "simdriver/trace_file.h"

namespace velmora::tune {

using sim::TraceUnits;

// A head trace as the plug-in sees it: one reading per poll of the tracker.
//
// A trace in raw units is a recording of the readings as they were polled (the plug-in and the
// simulated tracker write one row per reading the plug-in took): each row is one reading, and the
// polls were as far apart as the rows are on average. The filter then sees exactly what it saw
// while the player drove, at the player's own rate, which a profile's keys (counted in readings)
// depend on. A trace in degrees is head motion at its own rate: it is polled every 10 ms, each
// poll taking the newest row at that moment (a tracker holds its last reading between updates).
struct PolledTrace {
    static constexpr double kPollSeconds = 0.01;

    std::vector<sim::Pose> readings;
    double pollSeconds = kPollSeconds;
    // Where two stretches of a trace cut to one vehicle meet: the head may jump there as no head
    // does, so the readings around a join count in no metric.
    std::vector<std::size_t> joins;
    // The head's true pose at each reading, where a recording of the simulated driver carries it
    // (raw units, one row a reading); empty otherwise.
    std::vector<sim::PoseDegrees> truth;

    double Seconds(std::size_t index) const { return static_cast<double>(index) * pollSeconds; }
    double Duration() const { return Seconds(readings.size()); }

    // The rows of `file` as polled. With a vehicle, only the rows recorded while it was driven,
    // stretch after stretch; empty, with the reason in `error`, when there are none (and the
    // car's exact name when one was meant).
    static std::optional<PolledTrace> From(const sim::TraceFile& file, const std::string& vehicle,
                                           std::string& error);
};

// What `file` says of the cars driven, for the player: a line for each, its name quoted exactly as
// the game gave it, how long it was driven, and what the name hides (a space at its end keeps a
// section named as the name shows from applying).
std::string CarsDriven(const sim::TraceFile& file);

// Reads a CSV trace (see sim::ParseTrace) and polls all of it. Empty, with the reason in `error`,
// when it is not a trace.
std::optional<PolledTrace> LoadPolledTrace(const std::string& path, TraceUnits units,
                                           std::string& error);

// The readings of one axis in degrees as the filter stores them: carried across the tracker's ±180°
// seam, so a head that crosses it does not jump. (A head that turns on past a full circle is
// brought back by a turn: the filter carries a reading over only when its sign flips.)
std::vector<double> StoredDegrees(const PolledTrace& trace, std::int32_t sim::Pose::*axis);

using raw_angle::RawToDegrees;

}  // namespace velmora::tune
