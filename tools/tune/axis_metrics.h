#pragma once

#include <optional>
#include <vector>

#include "tune/motion_stretches.h"

namespace velmora::tune {

// How one profile's camera follows one axis of the head, in numbers a user can act on. Input and
// output are in degrees, one value per poll (every 10 ms, or at a recording's own rate).
struct AxisMetrics {
    // RMS distance of the output from its own 0.5 s moving average while the head rests: the shake
    // a driver sees. Absent when the trace has no rest.
    std::optional<double> jitterDegrees;
    // The delay that best lines the output up with the input while the head moves, to a fraction
    // of a poll.
    std::optional<double> lagMilliseconds;
    // How much farther than the head the output swings past where the head comes to rest after a
    // movement.
    double overshootDegrees = 0.0;
    // The mean of the largest thousandth of the output's changes from one reading to the next:
    // how far the camera jumps at its jerkiest.
    double largestStepsDegrees = 0.0;
    double stillSeconds = 0.0;
    double movingSeconds = 0.0;

    static AxisMetrics Measure(const std::vector<double>& input, const std::vector<double>& output,
                               const MotionStretches& stretches);
};

// The parts of Measure, each over the stretches given.
std::optional<double> JitterAtRest(const std::vector<double>& output,
                                   const std::vector<Stretch>& still);
std::optional<double> LagInMotion(const std::vector<double>& input,
                                  const std::vector<double>& output,
                                  const std::vector<Stretch>& moving, double pollSeconds = 0.01);
double Overshoot(const std::vector<double>& input, const std::vector<double>& output,
                 const MotionStretches& stretches);
double LargestSteps(const std::vector<double>& output, const MotionStretches& stretches);

}  // namespace velmora::tune
