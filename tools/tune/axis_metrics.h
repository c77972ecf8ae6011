#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tune/head_metrics.h"
#include "tune/motion_stretches.h"

namespace velmora::tune {

// The readings that a trace's metrics may look at: every run of readings between the stretches
// `stretches` leaves out (full turns, the joins of a trace cut to one car), within `readings`.
std::vector<Stretch> MeasuredBlocks(const MotionStretches& stretches, std::size_t readings);

// One axis of a trace as every camera on it is measured: where the head was at each reading (its
// true pose where the trace carries it, else the best estimate from the readings alone) and what
// the tracker itself does there.
struct AxisHead {
    HeadReference head;  // its rests, movements, glances and outliers only within the blocks
    TrackerFigures tracker;
    bool againstTruth = false;

    // `readings` in degrees, one per poll, carried across the ±180° seam (Unwrapped); `truth`
    // empty or one per reading.
    static AxisHead Of(const std::vector<double>& readings, std::vector<double> truth,
                       const std::vector<Stretch>& blocks, double pollSeconds);
    // Only what lies in `blocks`: a part of the trace, such as a held-out half.
    AxisHead Within(const std::vector<Stretch>& blocks) const;
};

// How one profile's camera follows one axis, in numbers a player can act on.
struct AxisMetrics {
    HeadMetrics head;
    // The mean of the largest thousandth of the camera's changes from one reading to the next: how
    // far it jumps at its jerkiest, which no RMS figure shows (a camera that holds and then jumps
    // at every glance costs the rest error and the lag little but is what a player notices).
    double largestStepsDegrees = 0.0;
    double restSeconds = 0.0;
    double movingSeconds = 0.0;

    static AxisMetrics Measure(const AxisHead& axis, const std::vector<double>& camera,
                               const MotionStretches& stretches);
};

double LargestSteps(const std::vector<double>& camera, const MotionStretches& stretches);

// What the tracker's figures on one axis mean to a player, in a sentence: "Yaw: the readings
// scatter by 0.10° about the head at rest, 2.1 outliers a minute: ...".
std::string TrackerSentence(const char* axis, const TrackerFigures& tracker);

}  // namespace velmora::tune
