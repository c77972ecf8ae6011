#include "tune/axis_metrics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace velmora::tune {
namespace {

// The single largest step hangs on where the tracker's readings happen to fall between two polls:
// on traces/user1.csv, dropping its first one to three rows moved it from 8.64° to 7.48° or
// 9.51°. The mean of the largest thousandth of the steps moves by under 4%, and still tells a
// camera that holds on and then jumps from one that follows.
constexpr double kLargestStepsShare = 0.001;

double Seconds(const std::vector<Stretch>& stretches, double pollSeconds) {
    std::size_t polls = 0;
    for (const Stretch& stretch : stretches) {
        polls += stretch.Length();
    }
    return static_cast<double>(polls) * pollSeconds;
}

// The noise a player's tracker shows at rest, in words, with the bounds where the driving
// benchmark's best profiles change character.
const char* NoiseWords(double degrees) {
    if (degrees < 0.05) {
        return "very little noise: a short window calms it";
    }
    if (degrees < 0.2) {
        return "light noise";
    }
    if (degrees < 0.5) {
        return "marked noise: it takes a long window at rest";
    }
    return "heavy noise: no profile calms it without lag";
}

}  // namespace

std::vector<Stretch> MeasuredBlocks(const MotionStretches& stretches, std::size_t readings) {
    std::vector<Stretch> blocks;
    std::size_t from = 0;
    for (const Stretch& out : stretches.leftOut) {
        if (out.begin > from) {
            blocks.push_back({from, std::min(out.begin, readings)});
        }
        from = std::max(from, out.end);
    }
    if (from < readings) {
        blocks.push_back({from, readings});
    }
    return blocks;
}

AxisHead AxisHead::Of(const std::vector<double>& readings, std::vector<double> truth,
                      const std::vector<Stretch>& blocks, double pollSeconds) {
    AxisHead axis;
    axis.againstTruth = truth.size() == readings.size() && !truth.empty();
    // The estimate is taken over the whole trace: across a join or a full turn it is off, but
    // nothing there is measured.
    const HeadReference whole = axis.againstTruth
                                    ? KnownHead(std::move(truth), readings, pollSeconds)
                                    : EstimateHead(readings, pollSeconds);
    axis.head = whole.Within(blocks);
    axis.tracker = TrackerFigures::Measure(axis.head, readings);
    // The outlier rate over the measured part alone.
    const double seconds = Seconds(blocks, pollSeconds);
    axis.tracker.spikesPerSecond =
        seconds > 0.0 ? static_cast<double>(axis.head.outliers.size()) / seconds : 0.0;
    return axis;
}

AxisHead AxisHead::Within(const std::vector<Stretch>& blocks) const {
    AxisHead part = *this;
    part.head = head.Within(blocks);
    return part;
}

double LargestSteps(const std::vector<double>& camera, const MotionStretches& stretches) {
    std::vector<double> steps;
    steps.reserve(camera.size());
    for (std::size_t i = 1; i < camera.size(); ++i) {
        if (!stretches.LeftOut(i) && !stretches.LeftOut(i - 1)) {
            steps.push_back(std::abs(camera[i] - camera[i - 1]));
        }
    }
    if (steps.empty()) {
        return 0.0;
    }
    const auto count = std::max<std::size_t>(
        1, static_cast<std::size_t>(static_cast<double>(steps.size()) * kLargestStepsShare));
    const auto largest = steps.begin() + static_cast<std::ptrdiff_t>(count);
    std::nth_element(steps.begin(), largest - 1, steps.end(), std::greater<>());
    double sum = 0.0;
    for (auto step = steps.begin(); step != largest; ++step) {
        sum += *step;
    }
    return sum / static_cast<double>(count);
}

AxisMetrics AxisMetrics::Measure(const AxisHead& axis, const std::vector<double>& camera,
                                 const MotionStretches& stretches) {
    AxisMetrics metrics;
    metrics.head = HeadMetrics::Measure(axis.head, camera);
    metrics.largestStepsDegrees = LargestSteps(camera, stretches);
    metrics.restSeconds = Seconds(axis.head.rests, axis.head.pollSeconds);
    metrics.movingSeconds = Seconds(axis.head.movements, axis.head.pollSeconds);
    return metrics;
}

std::string TrackerSentence(const char* axis, const TrackerFigures& tracker) {
    char text[320];
    if (!tracker.noiseDegrees) {
        std::snprintf(text, sizeof text,
                      "%s: the head never rests long enough to tell the tracker's noise.", axis);
        return text;
    }
    const double perMinute = tracker.spikesPerSecond * 60.0;
    char outliers[96];
    if (perMinute < 0.05) {
        std::snprintf(outliers, sizeof outliers, "no outliers");
    } else {
        std::snprintf(outliers, sizeof outliers, "%.1f outliers a minute (a reading that jumps %s)",
                      perMinute, perMinute < 6.0 ? "now and then" : "often: SD Skipfactor matters");
    }
    std::snprintf(text, sizeof text,
                  "%s: the readings scatter by %.3f° about the head at rest, %s; %s.", axis,
                  *tracker.noiseDegrees, NoiseWords(*tracker.noiseDegrees), outliers);
    return text;
}

}  // namespace velmora::tune
