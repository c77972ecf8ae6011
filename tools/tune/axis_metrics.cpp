#include "tune/axis_metrics.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "tune/polled_trace.h"

namespace velmora::tune {
namespace {

// The first readings of a rest still show the camera settling from the movement before it; that
// is lag, not shake.
constexpr std::size_t kSettling = 25;
constexpr std::size_t kTrendReach = 25;  // the moving average spans 0.5 s
constexpr std::size_t kLongestLag = 50;  // 500 ms: a slower camera is not following at all
// A movement smaller than this ends where it began, as far as overshoot can tell.
constexpr double kSmallestMovement = 1.0;
// The single largest step hangs on where the tracker's readings happen to fall between two polls:
// on traces/user1.csv, dropping its first one to three rows moved it from 8.64° to 7.48° or
// 9.51°. The mean of the largest thousandth of the steps moves by under 4%, and still tells a
// camera that holds on and then jumps from one that follows.
constexpr double kLargestStepsShare = 0.001;

double Mean(const std::vector<double>& values, std::size_t begin, std::size_t end) {
    double sum = 0.0;
    for (std::size_t i = begin; i < end; ++i) {
        sum += values[i];
    }
    return sum / static_cast<double>(end - begin);
}

}  // namespace

std::optional<double> JitterAtRest(const std::vector<double>& output,
                                   const std::vector<Stretch>& still) {
    double squares = 0.0;
    std::size_t count = 0;
    std::vector<double> sums;
    for (const Stretch& stretch : still) {
        if (stretch.Length() <= kSettling) {
            continue;
        }
        const std::size_t begin = stretch.begin + kSettling;
        // Running sums about the rest's first value, so that a camera far from zero loses no
        // digits to them.
        const double origin = output[begin];
        sums.assign(1, 0.0);
        for (std::size_t i = begin; i < stretch.end; ++i) {
            sums.push_back(sums.back() + (output[i] - origin));
        }
        for (std::size_t i = begin; i < stretch.end; ++i) {
            // The trend stays inside the rest, so the movement around it cannot pull it.
            const std::size_t from = std::max(begin, i >= kTrendReach ? i - kTrendReach : 0);
            const std::size_t to = std::min(stretch.end, i + kTrendReach + 1);
            const double trend =
                (sums[to - begin] - sums[from - begin]) / static_cast<double>(to - from);
            const double deviation = output[i] - origin - trend;
            squares += deviation * deviation;
            ++count;
        }
    }
    if (count == 0) {
        return std::nullopt;
    }
    return std::sqrt(squares / static_cast<double>(count));
}

std::optional<double> LagInMotion(const std::vector<double>& input,
                                  const std::vector<double>& output,
                                  const std::vector<Stretch>& moving, double pollSeconds) {
    std::vector<double> errors;
    for (std::size_t lag = 0; lag <= kLongestLag; ++lag) {
        double error = 0.0;
        std::size_t count = 0;
        for (const Stretch& stretch : moving) {
            for (std::size_t i = std::max(stretch.begin, kLongestLag); i < stretch.end; ++i) {
                const double difference = output[i] - input[i - lag];
                error += difference * difference;
                ++count;
            }
        }
        if (count == 0) {
            return std::nullopt;
        }
        errors.push_back(error / static_cast<double>(count));
    }
    const auto best =
        static_cast<std::size_t>(std::min_element(errors.begin(), errors.end()) - errors.begin());
    // Between whole polls: the vertex of the parabola through the best delay and its neighbours.
    // A whole number of polls would let a profile lag 4 ms more, or 5 ms less, unseen.
    double polls = static_cast<double>(best);
    if (best > 0 && best < kLongestLag) {
        const double curvature = errors[best - 1] - 2.0 * errors[best] + errors[best + 1];
        if (curvature > 0.0) {
            polls += 0.5 * (errors[best - 1] - errors[best + 1]) / curvature;
        }
    }
    return polls * pollSeconds * 1000.0;
}

double Overshoot(const std::vector<double>& input, const std::vector<double>& output,
                 const MotionStretches& stretches) {
    double worst = 0.0;
    for (const Stretch& move : stretches.moving) {
        // The rest that ends this movement: the first that begins after the movement does.
        const auto rest =
            std::find_if(stretches.still.begin(), stretches.still.end(),
                         [&](const Stretch& still) { return still.begin >= move.end; });
        if (rest == stretches.still.end()) {
            break;
        }
        if (std::any_of(stretches.leftOut.begin(), stretches.leftOut.end(),
                        [&](const Stretch& out) {
                            return out.begin < rest->end && move.begin < out.end;
                        })) {
            continue;
        }
        const double target = Mean(input, rest->begin, rest->end);
        const double start = input[move.begin];
        if (std::abs(target - start) < kSmallestMovement) {
            continue;
        }
        // A head often swings past and comes back itself; only what the camera adds counts.
        const double direction = target > start ? 1.0 : -1.0;
        double camera = 0.0;
        double head = 0.0;
        for (std::size_t i = move.begin; i < rest->end; ++i) {
            camera = std::max(camera, direction * (output[i] - target));
            head = std::max(head, direction * (input[i] - target));
        }
        worst = std::max(worst, camera - head);
    }
    return worst;
}

double LargestSteps(const std::vector<double>& output, const MotionStretches& stretches) {
    std::vector<double> steps;
    steps.reserve(output.size());
    for (std::size_t i = 1; i < output.size(); ++i) {
        if (!stretches.LeftOut(i) && !stretches.LeftOut(i - 1)) {
            steps.push_back(std::abs(output[i] - output[i - 1]));
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

AxisMetrics AxisMetrics::Measure(const std::vector<double>& input,
                                 const std::vector<double>& output,
                                 const MotionStretches& stretches) {
    AxisMetrics metrics;
    metrics.jitterDegrees = JitterAtRest(output, stretches.still);
    metrics.lagMilliseconds = LagInMotion(input, output, stretches.moving, stretches.pollSeconds);
    metrics.overshootDegrees = Overshoot(input, output, stretches);
    metrics.largestStepsDegrees = LargestSteps(output, stretches);
    metrics.stillSeconds = stretches.Seconds(stretches.still);
    metrics.movingSeconds = stretches.Seconds(stretches.moving);
    return metrics;
}

}  // namespace velmora::tune
