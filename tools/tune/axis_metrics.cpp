#include "axis_metrics.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "polled_trace.h"

namespace velmora::tune {
namespace {

// The first readings of a rest still show the camera settling from the movement before it; that
// is lag, not shake.
constexpr std::size_t kSettling = 25;
constexpr std::size_t kTrendReach = 25;  // the moving average spans 0.5 s
constexpr std::size_t kLongestLag = 50;  // 500 ms: a slower camera is not following at all
// A movement smaller than this ends where it began, as far as overshoot can tell.
constexpr double kSmallestMovement = 1.0;

double Seconds(const std::vector<Stretch>& stretches) {
    std::size_t readings = 0;
    for (const Stretch& stretch : stretches) {
        readings += stretch.Length();
    }
    return static_cast<double>(readings) * PolledTrace::kPollSeconds;
}

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
    for (const Stretch& stretch : still) {
        if (stretch.Length() <= kSettling) {
            continue;
        }
        const std::size_t begin = stretch.begin + kSettling;
        for (std::size_t i = begin; i < stretch.end; ++i) {
            // The trend stays inside the rest, so the movement around it cannot pull it.
            const std::size_t from = std::max(begin, i >= kTrendReach ? i - kTrendReach : 0);
            const std::size_t to = std::min(stretch.end, i + kTrendReach + 1);
            const double deviation = output[i] - Mean(output, from, to);
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
                                  const std::vector<Stretch>& moving) {
    double bestError = std::numeric_limits<double>::infinity();
    std::optional<std::size_t> bestLag;
    for (std::size_t lag = 0; lag <= kLongestLag; ++lag) {
        double error = 0.0;
        std::size_t count = 0;
        for (const Stretch& stretch : moving) {
            for (std::size_t i = std::max(stretch.begin, lag); i < stretch.end; ++i) {
                const double difference = output[i] - input[i - lag];
                error += difference * difference;
                ++count;
            }
        }
        if (count != 0 && error / static_cast<double>(count) < bestError) {
            bestError = error / static_cast<double>(count);
            bestLag = lag;
        }
    }
    if (!bestLag) {
        return std::nullopt;
    }
    return static_cast<double>(*bestLag) * PolledTrace::kPollSeconds * 1000.0;
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
        if (std::any_of(stretches.fullTurns.begin(), stretches.fullTurns.end(),
                        [&](const Stretch& turn) {
                            return turn.begin < rest->end && move.begin < turn.end;
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

double LargestStep(const std::vector<double>& output, const MotionStretches& stretches) {
    double largest = 0.0;
    for (std::size_t i = 1; i < output.size(); ++i) {
        if (stretches.InFullTurn(i)) {
            continue;
        }
        largest = std::max(largest, std::abs(output[i] - output[i - 1]));
    }
    return largest;
}

AxisMetrics AxisMetrics::Measure(const std::vector<double>& input,
                                 const std::vector<double>& output,
                                 const MotionStretches& stretches) {
    AxisMetrics metrics;
    metrics.jitterDegrees = JitterAtRest(output, stretches.still);
    metrics.lagMilliseconds = LagInMotion(input, output, stretches.moving);
    metrics.overshootDegrees = Overshoot(input, output, stretches);
    metrics.largestStepDegrees = LargestStep(output, stretches);
    metrics.stillSeconds = Seconds(stretches.still);
    metrics.movingSeconds = Seconds(stretches.moving);
    return metrics;
}

}  // namespace velmora::tune
