#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "tune/head_metrics.h"

namespace velmora::tune {

// One axis of a drive whose true pose is known, as the plug-in polls it every 10 ms: the raw
// readings, the same unwrapped in degrees (for a filter that must not see the wrap), and the
// truth at each poll as the reference every camera is measured against.
struct Course {
    std::vector<std::int32_t> raw;
    std::vector<double> degrees;
    HeadReference head;
};

inline constexpr double kCoursePollSeconds = 0.01;

// Yaw and pitch of `seconds` of the simulated driver, read by a 60 Hz tracker with `noise`
// degrees of white noise and, `spikesPerSecond`, an outlier of 5° on one axis. (Roll leans over a
// second or two and never glances: nothing on it moves fast enough for a lag to be measured.)
std::array<Course, 2> DrivingCourses(double noiseDegrees, double spikesPerSecond, double seconds,
                                     std::uint64_t seed);

// Yaw as the UDP bridge hands it over: head-tracking software reads the head 60 times a second
// with 0.2° of noise and smooths it itself, with a One Euro filter of 1 Hz, beta 0.02 and 1 Hz
// (a light setting); the bridge holds the newest pose between the plug-in's polls.
Course BridgeCourse(double seconds, std::uint64_t seed);

// The camera's own shake while the head rests: its RMS about its own one-second average, which a
// player sees whatever the head does. Under 0.02° no one sees it.
double OwnShakeDegrees(const HeadReference& head, const std::vector<double>& camera);

}  // namespace velmora::tune
