#include "tune/head_metrics.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <exception>
#include <mutex>
#include <thread>

#include "drivers/raw_angle.h"

namespace velmora::tune {
namespace {

// Rests and movements, judged on the reference as the existing bench judges them on the input.
constexpr double kRestSpeed = 5.0;     // degrees a second, over kRestSpan each way
constexpr double kRestSpan = 0.1;      // seconds: sees past a tracker's steps and a road's shake
constexpr double kShortestRest = 0.5;  // seconds: a glance's hold is not a rest
constexpr double kMovingSpeed = 20.0;  // degrees a second, over kMovingSpan each way
constexpr double kMovingSpan = 0.05;   // seconds: sees past the noise an estimate keeps in motion
// The head's speed while it moves, for the effective lag: over a span short enough to follow the
// peak of a quick glance (a few percent low at the fastest, a 20° glance in 0.2 s).
constexpr double kSpeedSpan = 0.03;
// The camera arriving from the movement before a rest is lag, not rest error.
constexpr double kSettling = 0.25;
constexpr double kTrailReach = 0.5;  // seconds each way: the trail is the error's 1 s average

constexpr double kGlanceGap = 0.2;         // the most time between a rest's end and its movement
constexpr double kBaseline = 0.1;          // seconds of the rest where the glance begins from
constexpr double kSmallestGlance = 5.0;    // degrees on the axis
constexpr double kFollowDegrees = 2.0;     // the first few degrees of a glance
constexpr double kLongestOnset = 0.5;      // seconds: a camera that has not followed by then
constexpr double kSpikeWatch = 0.3;        // seconds after an outlier
constexpr std::size_t kSpikeBaseline = 5;  // polls before it

// An isolated outlier lies this many noise widths from its neighbours' midpoint, and at least
// this far: smaller outliers are part of the noise, as far as the player can tell.
constexpr double kOutlierWidths = 4.5;
constexpr double kSmallestOutlier = 0.5;

// The estimate's reaches each way, in seconds: the longest a resting head is averaged over, the
// shortest a glance is followed with, and the steps between.
constexpr std::array<double, 10> kReaches = {0.05, 0.07, 0.1, 0.14, 0.2, 0.28, 0.4, 0.56, 0.8, 1.0};
// How many of its own noise widths each fit may lie from the others before the longer one counts as
// bent by the head's motion. Tried on the driving motion from 0.02° to 1° of noise: 1 lets the
// noise cut the reach short at rest, 3 lets a pitch of 2° in 0.3 s be smoothed away.
constexpr double kFitWidths = 1.5;
// The noise the fits are judged against is never taken as less than half a raw unit: a tracker
// with none still rounds.
constexpr double kLeastNoise = 0.5 / raw_angle::kUnitsPerDegree;
// Where a line over 0.15 s each way turns faster than this (degrees a second, or 20 noise widths),
// the head moves: no fit reaches within 50 ms of it, and the hold is read there.
constexpr double kPilotReach = 0.15;
constexpr double kPilotSpeed = 10.0;
constexpr double kPilotMargin = 0.05;

std::size_t Polls(double seconds, double pollSeconds) {
    return std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(seconds / pollSeconds)));
}

double Median(std::vector<double> values) {
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

double Mean(const std::vector<double>& values, std::size_t begin, std::size_t end) {
    double sum = 0.0;
    for (std::size_t i = begin; i < end; ++i) {
        sum += values[i];
    }
    return sum / static_cast<double>(end - begin);
}

double SpeedBetween(const std::vector<double>& degrees, std::size_t i, std::size_t reach,
                    double pollSeconds) {
    const std::size_t before = i >= reach ? i - reach : 0;
    const std::size_t after = std::min(i + reach, degrees.size() - 1);
    return after == before ? 0.0
                           : (degrees[after] - degrees[before]) /
                                 (static_cast<double>(after - before) * pollSeconds);
}

// The tracker's samples as the polls saw them: a poll that repeats the one before holds the same
// sample. (Two samples that read exactly alike count as one, which neither the noise nor the
// outlier test below minds.)
struct Samples {
    std::vector<std::size_t> firstPoll;
    std::vector<double> value;
};

Samples SamplesOf(const std::vector<double>& readings) {
    Samples samples;
    for (std::size_t i = 0; i < readings.size(); ++i) {
        if (i == 0 || readings[i] != readings[i - 1]) {
            samples.firstPoll.push_back(i);
            samples.value.push_back(readings[i]);
        }
    }
    return samples;
}

// A sample's distance from its neighbours' midpoint: white noise of width s gives 1.22 s. The
// samples are evenly spaced in the tracker's time, so a moving head bends it only by its
// acceleration, and the median of its size over a trace that mostly rests is the noise alone.
double Bend(const Samples& samples, std::size_t k) {
    return samples.value[k] - 0.5 * (samples.value[k - 1] + samples.value[k + 1]);
}

struct Outliers {
    double noiseScale = 0.0;
    std::vector<Stretch> polls;
    std::vector<double> midpoints;
    std::vector<double> sides;
};

Outliers FindOutliers(const std::vector<double>& readings) {
    Outliers found;
    const Samples samples = SamplesOf(readings);
    const std::size_t count = samples.value.size();
    if (count < 3) {
        return found;
    }
    std::vector<double> bends;
    for (std::size_t k = 1; k + 1 < count; ++k) {
        bends.push_back(std::abs(Bend(samples, k)));
    }
    // The median absolute value of a normal variable is 0.674 of its width.
    found.noiseScale = Median(bends) / 0.6745 / std::sqrt(1.5);
    const double threshold =
        std::max(kSmallestOutlier, kOutlierWidths * std::sqrt(1.5) * found.noiseScale);
    for (std::size_t k = 1; k + 1 < count; ++k) {
        const double bend = Bend(samples, k);
        // Far from the midpoint, and its neighbours nearer each other than to it: a step of a
        // fast turn bends half as far each way and fails the second test.
        if (std::abs(bend) > threshold &&
            std::abs(samples.value[k + 1] - samples.value[k - 1]) < std::abs(bend)) {
            found.polls.push_back({samples.firstPoll[k], samples.firstPoll[k + 1]});
            found.midpoints.push_back(samples.value[k] - bend);
            found.sides.push_back(bend > 0.0 ? 1.0 : -1.0);
        }
    }
    return found;
}

// Least squares of a quadratic over `reach` polls each way of `at`, weighted by the tricube, so
// that polls near the edge of the reach count little and a changing reach changes little. Its
// value at `at`.
double LocalQuadratic(const std::vector<double>& values, std::size_t at, std::size_t reach) {
    const std::size_t begin = at >= reach ? at - reach : 0;
    const std::size_t end = std::min(values.size(), at + reach + 1);
    const double origin = values[at];
    std::array<double, 5> moments{};   // sums of w x^k
    std::array<double, 3> products{};  // sums of w x^k y
    const double scale = static_cast<double>(reach + 1);
    for (std::size_t i = begin; i < end; ++i) {
        const double x = (static_cast<double>(i) - static_cast<double>(at)) / scale;
        const double u = 1.0 - std::abs(x * x * x);
        const double w = u * u * u;
        const double y = values[i] - origin;
        double power = w;
        for (std::size_t k = 0; k < 5; ++k) {
            moments[k] += power;
            if (k < 3) {
                products[k] += power * y;
            }
            power *= x;
        }
    }
    // The intercept of the 3x3 normal equations, by Cramer's rule.
    const auto& m = moments;
    const auto& p = products;
    const double det = m[0] * (m[2] * m[4] - m[3] * m[3]) - m[1] * (m[1] * m[4] - m[3] * m[2]) +
                       m[2] * (m[1] * m[3] - m[2] * m[2]);
    if (std::abs(det) < 1e-12 * m[0] * m[0] * m[0]) {
        return origin + p[0] / m[0];  // too few points for a curve: their weighted mean
    }
    const double numerator = p[0] * (m[2] * m[4] - m[3] * m[3]) -
                             m[1] * (p[1] * m[4] - m[3] * p[2]) +
                             m[2] * (p[1] * m[3] - m[2] * p[2]);
    return origin + numerator / det;
}

// How far each poll lies from the nearest moving one, in polls: forward and back.
std::vector<std::size_t> DistanceToMovement(const std::vector<bool>& moving) {
    const std::size_t count = moving.size();
    const std::size_t far = count + 1;
    std::vector<std::size_t> distance(count, far);
    std::size_t since = far;
    for (std::size_t i = 0; i < count; ++i) {
        since = moving[i] ? 0 : std::min(far, since + 1);
        distance[i] = since;
    }
    since = far;
    for (std::size_t i = count; i-- > 0;) {
        since = moving[i] ? 0 : std::min(far, since + 1);
        distance[i] = std::min(distance[i], since);
    }
    return distance;
}

// The weights by which LocalQuadratic's value at a poll takes the polls around it, where the
// reach lies wholly within the trace: the same for every such poll, so it is worked out once.
std::vector<double> QuadraticKernel(std::size_t reach) {
    const std::size_t width = 2 * reach + 1;
    std::vector<double> kernel(width);
    std::vector<double> impulse(width, 0.0);
    for (std::size_t k = 0; k < width; ++k) {
        impulse[k] = 1.0;
        kernel[k] = LocalQuadratic(impulse, reach, reach);
        impulse[k] = 0.0;
    }
    return kernel;
}

// Moved `polls` later in time (a fraction of a poll too): the value `polls` after each poll.
std::vector<double> Advanced(const std::vector<double>& values, double polls) {
    std::vector<double> moved(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double at =
            std::min(static_cast<double>(i) + polls, static_cast<double>(values.size() - 1));
        const auto before = static_cast<std::size_t>(at);
        const std::size_t after = std::min(before + 1, values.size() - 1);
        const double fraction = at - static_cast<double>(before);
        moved[i] = values[before] + fraction * (values[after] - values[before]);
    }
    return moved;
}

// The rests, movements and glances of the reference.
void Describe(HeadReference& head) {
    const std::vector<double>& degrees = head.degrees;
    const std::size_t count = degrees.size();
    const double poll = head.pollSeconds;
    head.seconds = static_cast<double>(count) * poll;
    if (count < 2) {
        return;
    }
    const std::size_t span = Polls(kRestSpan, poll);
    head.rests = Runs(count, Polls(kShortestRest, poll), [&](std::size_t i) {
        return std::abs(SpeedBetween(degrees, i, span, poll)) < kRestSpeed;
    });
    head.movements = Runs(count, 1, [&](std::size_t i) {
        return std::abs(SpeedBetween(degrees, i, Polls(kMovingSpan, poll), poll)) > kMovingSpeed;
    });
    if (head.rests.empty()) {
        return;  // a glance leaves a rest
    }
    const std::size_t gap = Polls(kGlanceGap, poll);
    const std::size_t baseline = Polls(kBaseline, poll);
    auto rest = head.rests.begin();
    std::size_t lastRestEnd = 0;
    for (const Stretch& move : head.movements) {
        while (std::next(rest) != head.rests.end() && std::next(rest)->end <= move.begin) {
            ++rest;
        }
        if (rest->end > move.begin || move.begin - rest->end > gap || rest->end == lastRestEnd) {
            continue;
        }
        const double base = Mean(degrees, rest->end - baseline, rest->end);
        const std::size_t next =
            std::next(rest) != head.rests.end() ? std::next(rest)->begin : count;
        double peak = 0.0;
        for (std::size_t i = move.begin; i < std::min(next, move.end + gap); ++i) {
            peak = std::abs(degrees[i] - base) > std::abs(peak) ? degrees[i] - base : peak;
        }
        if (std::abs(peak) >= kSmallestGlance) {
            head.glances.push_back({rest->end, peak > 0.0 ? 1.0 : -1.0, std::abs(peak)});
            lastRestEnd = rest->end;
        }
    }
}

// Where a value first goes `degrees` past `base` in `direction`, from poll `from`, as a fraction
// of polls; empty when it does not before `until`.
std::optional<double> Crossing(const std::vector<double>& values, std::size_t from,
                               std::size_t until, double base, double direction, double degrees) {
    until = std::min(until, values.size());
    for (std::size_t i = from; i < until; ++i) {
        const double past = direction * (values[i] - base) - degrees;
        if (past >= 0.0) {
            if (i == from) {
                return static_cast<double>(i);
            }
            const double before = direction * (values[i - 1] - base) - degrees;
            return static_cast<double>(i) - past / (past - before);
        }
    }
    return std::nullopt;
}

std::optional<double> Rms(double squares, std::size_t count) {
    if (count == 0) {
        return std::nullopt;
    }
    return std::sqrt(squares / static_cast<double>(count));
}

}  // namespace

std::vector<double> Unwrapped(const std::vector<std::int32_t>& raw) {
    std::vector<double> degrees;
    degrees.reserve(raw.size());
    for (const std::int32_t reading : raw) {
        const double angle = raw_angle::RawToDegrees(reading);
        degrees.push_back(degrees.empty()
                              ? angle
                              : degrees.back() + raw_angle::WrapDegrees(angle - degrees.back()));
    }
    return degrees;
}

HeadReference EstimateHead(const std::vector<double>& readings, double pollSeconds) {
    HeadReference head;
    head.pollSeconds = pollSeconds;
    const std::size_t count = readings.size();
    const Outliers outliers = FindOutliers(readings);
    head.noiseScaleDegrees = outliers.noiseScale;
    head.outliers = outliers.polls;
    head.outlierSides = outliers.sides;
    std::vector<double> clean = readings;
    for (std::size_t k = 0; k < outliers.polls.size(); ++k) {
        std::fill(clean.begin() + static_cast<std::ptrdiff_t>(outliers.polls[k].begin),
                  clean.begin() + static_cast<std::ptrdiff_t>(outliers.polls[k].end),
                  outliers.midpoints[k]);
    }
    if (count < 2) {
        head.degrees = clean;
        Describe(head);
        return head;
    }

    // The hold: how often a moving head's reading is new gives the tracker's update interval. A
    // line's slope over 0.15 s each way tells where the head moves.
    const std::size_t pilotReach = Polls(kPilotReach, pollSeconds);
    const double pilotSpeed = std::max(kPilotSpeed, 20.0 * outliers.noiseScale);
    std::size_t movingPolls = 0;
    std::size_t freshPolls = 0;
    std::size_t allFresh = 0;
    std::vector<bool> moving(count, false);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t begin = i >= pilotReach ? i - pilotReach : 0;
        const std::size_t end = std::min(count, i + pilotReach + 1);
        const double middle = 0.5 * static_cast<double>(begin + end - 1);
        double xy = 0.0;
        double xx = 0.0;
        for (std::size_t j = begin; j < end; ++j) {
            const double x = static_cast<double>(j) - middle;
            xy += x * (clean[j] - clean[i]);
            xx += x * x;
        }
        moving[i] = std::abs(xy / xx) / pollSeconds > pilotSpeed;
        if (i == 0) {
            continue;
        }
        const bool fresh = readings[i] != readings[i - 1];
        allFresh += fresh ? 1 : 0;
        if (moving[i]) {
            ++movingPolls;
            freshPolls += fresh ? 1 : 0;
        }
    }
    // Too little movement to tell: every poll, which a still head without noise overcounts.
    if (movingPolls < 50) {
        movingPolls = count - 1;
        freshPolls = allFresh;
    }
    const double updatePolls =
        freshPolls == 0
            ? 1.0
            : std::max(1.0, static_cast<double>(movingPolls) / static_cast<double>(freshPolls));
    head.holdSeconds = 0.5 * updatePolls * pollSeconds;

    // Each reach's fit, from the shortest up, while every fit so far agrees with the others
    // within its noise: the longest reach over which a quadratic still describes the head.
    // A held reading counts once per poll it is read, which the noise of a fit must allow for.
    const double noise = std::max(outliers.noiseScale, kLeastNoise) * std::sqrt(updatePolls);
    std::vector<std::size_t> reaches;
    std::vector<std::vector<double>> kernels;
    std::vector<double> widths;
    for (const double seconds : kReaches) {
        const std::size_t reach = Polls(seconds, pollSeconds);
        if (!reaches.empty() && reach <= reaches.back()) {
            continue;
        }
        reaches.push_back(reach);
        kernels.push_back(QuadraticKernel(reach));
        double spread = 0.0;
        for (const double weight : kernels.back()) {
            spread += weight * weight;
        }
        widths.push_back(kFitWidths * noise * std::sqrt(spread));
    }
    const std::vector<std::size_t> distance = DistanceToMovement(moving);
    const std::size_t margin = Polls(kPilotMargin, pollSeconds);
    std::vector<double> fitted(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t clear = distance[i] > margin ? distance[i] - margin : 0;
        double lower = -HUGE_VAL;
        double upper = HUGE_VAL;
        for (std::size_t r = 0; r < reaches.size(); ++r) {
            const std::size_t reach = reaches[r];
            if (r > 0 && reach > clear) {
                break;
            }
            double fit = 0.0;
            if (i >= reach && i + reach < count) {
                const double* values = clean.data() + (i - reach);
                for (std::size_t k = 0; k < kernels[r].size(); ++k) {
                    fit += kernels[r][k] * values[k];
                }
            } else {
                fit = LocalQuadratic(clean, i, reach);
            }
            lower = std::max(lower, fit - widths[r]);
            upper = std::min(upper, fit + widths[r]);
            if (lower > upper) {
                break;
            }
            fitted[i] = fit;
        }
    }
    head.degrees = Advanced(fitted, head.holdSeconds / pollSeconds);
    Describe(head);
    return head;
}

HeadReference KnownHead(std::vector<double> truth, const std::vector<double>& readings,
                        double pollSeconds) {
    HeadReference head;
    head.pollSeconds = pollSeconds;
    head.degrees = std::move(truth);
    const Outliers outliers = FindOutliers(readings);
    head.noiseScaleDegrees = outliers.noiseScale;
    head.outliers = outliers.polls;
    head.outlierSides = outliers.sides;
    Describe(head);
    return head;
}

HeadReference HeadReference::Within(const std::vector<Stretch>& blocks) const {
    HeadReference part = *this;
    auto blockOf = [&](std::size_t poll) {
        return std::find_if(blocks.begin(), blocks.end(), [&](const Stretch& block) {
            return block.begin <= poll && poll < block.end;
        });
    };
    auto cut = [&](const std::vector<Stretch>& runs) {
        std::vector<Stretch> kept;
        for (const Stretch& run : runs) {
            if (const auto block = blockOf(run.begin); block != blocks.end()) {
                kept.push_back({run.begin, std::min(run.end, block->end)});
            }
        }
        return kept;
    };
    part.rests = cut(rests);
    part.movements = cut(movements);
    part.glances.clear();
    for (const Glance& glance : glances) {
        if (glance.restEnd > 0 && blockOf(glance.restEnd - 1) != blocks.end()) {
            part.glances.push_back(glance);
        }
    }
    part.outliers.clear();
    part.outlierSides.clear();
    for (std::size_t k = 0; k < outliers.size(); ++k) {
        if (blockOf(outliers[k].begin) != blocks.end()) {
            part.outliers.push_back(outliers[k]);
            part.outlierSides.push_back(outlierSides[k]);
        }
    }
    return part;
}

HeadMetrics HeadMetrics::Measure(const HeadReference& head, const std::vector<double>& camera) {
    HeadMetrics metrics;
    const std::vector<double>& reference = head.degrees;
    const double poll = head.pollSeconds;
    const std::size_t count = std::min(reference.size(), camera.size());
    std::vector<double> error(count);
    for (std::size_t i = 0; i < count; ++i) {
        error[i] = raw_angle::WrapDegrees(camera[i] - reference[i]);
    }

    double restSquares = 0.0;
    double trailSquares = 0.0;
    double shakeSquares = 0.0;
    std::size_t restCount = 0;
    const std::size_t settling = Polls(kSettling, poll);
    const std::size_t trailReach = Polls(kTrailReach, poll);
    std::vector<double> sums;
    for (const Stretch& rest : head.rests) {
        const std::size_t begin = rest.begin + settling;
        const std::size_t end = std::min(rest.end, count);
        if (begin >= end) {
            continue;
        }
        sums.assign(1, 0.0);
        for (std::size_t i = begin; i < end; ++i) {
            sums.push_back(sums.back() + error[i]);
        }
        for (std::size_t i = begin; i < end; ++i) {
            const std::size_t from = std::max(begin, i >= trailReach ? i - trailReach : 0);
            const std::size_t to = std::min(end, i + trailReach + 1);
            const double trail =
                (sums[to - begin] - sums[from - begin]) / static_cast<double>(to - from);
            restSquares += error[i] * error[i];
            trailSquares += trail * trail;
            shakeSquares += (error[i] - trail) * (error[i] - trail);
            ++restCount;
        }
    }
    metrics.restErrorDegrees = Rms(restSquares, restCount);
    metrics.trailDegrees = Rms(trailSquares, restCount);
    metrics.shakeDegrees = Rms(shakeSquares, restCount);

    double errorSquares = 0.0;
    double speedSquares = 0.0;
    for (const Stretch& move : head.movements) {
        for (std::size_t i = move.begin; i < std::min(move.end, count); ++i) {
            const double speed = SpeedBetween(reference, i, Polls(kSpeedSpan, poll), poll);
            errorSquares += error[i] * error[i];
            speedSquares += speed * speed;
        }
    }
    if (speedSquares > 0.0) {
        metrics.effectiveLagMilliseconds = std::sqrt(errorSquares / speedSquares) * 1000.0;
    }

    std::vector<double> onsets;
    const std::size_t baseline = Polls(kBaseline, poll);
    const std::size_t longest = Polls(kLongestOnset, poll);
    for (const Glance& glance : head.glances) {
        const std::size_t from = glance.restEnd - baseline;
        if (glance.restEnd > count) {
            continue;
        }
        const double headBase = Mean(reference, from, glance.restEnd);
        const double cameraBase = Mean(camera, from, glance.restEnd);
        const auto headAt =
            Crossing(reference, from, count, headBase, glance.direction, kFollowDegrees);
        if (!headAt) {
            continue;
        }
        const auto until = static_cast<std::size_t>(*headAt) + longest + 1;
        const auto cameraAt =
            Crossing(camera, from, until, cameraBase, glance.direction, kFollowDegrees);
        const double delay = cameraAt ? (*cameraAt - *headAt) * poll : kLongestOnset;
        onsets.push_back(std::min(delay, kLongestOnset) * 1000.0);
    }
    metrics.glances = onsets.size();
    if (!onsets.empty()) {
        metrics.onsetDelayMilliseconds = Median(onsets);
    }

    const std::size_t watch = Polls(kSpikeWatch, poll);
    std::vector<double> response(watch, 0.0);
    auto rest = head.rests.begin();
    for (std::size_t k = 0; k < head.outliers.size(); ++k) {
        const Stretch& outlier = head.outliers[k];
        while (rest != head.rests.end() && rest->end <= outlier.begin) {
            ++rest;
        }
        if (rest == head.rests.end() || outlier.begin < rest->begin + kSpikeBaseline ||
            outlier.begin + watch > std::min(rest->end, count)) {
            continue;
        }
        const double base = Mean(error, outlier.begin - kSpikeBaseline, outlier.begin);
        for (std::size_t i = 0; i < watch; ++i) {
            response[i] += head.outlierSides[k] * (error[outlier.begin + i] - base);
        }
        ++metrics.outliersAtRest;
    }
    if (metrics.outliersAtRest != 0) {
        double largest = 0.0;
        for (const double move : response) {
            largest = std::max(largest, std::abs(move));
        }
        metrics.spikeResponseDegrees = largest / static_cast<double>(metrics.outliersAtRest);
    }
    return metrics;
}

TrackerFigures TrackerFigures::Measure(const HeadReference& head,
                                       const std::vector<double>& readings) {
    TrackerFigures figures;
    double squares = 0.0;
    std::size_t count = 0;
    auto outlier = head.outliers.begin();
    for (const Stretch& rest : head.rests) {
        for (std::size_t i = rest.begin; i < std::min(rest.end, readings.size()); ++i) {
            while (outlier != head.outliers.end() && outlier->end <= i) {
                ++outlier;
            }
            if (outlier != head.outliers.end() && outlier->begin <= i) {
                continue;
            }
            const double difference = raw_angle::WrapDegrees(readings[i] - head.degrees[i]);
            squares += difference * difference;
            ++count;
        }
    }
    figures.noiseDegrees = Rms(squares, count);
    if (head.seconds > 0.0) {
        figures.spikesPerSecond = static_cast<double>(head.outliers.size()) / head.seconds;
    }
    return figures;
}

std::vector<HeadMetrics> HeadMetrics::MeasureAll(
    const HeadReference& head, std::size_t count,
    const std::function<std::vector<double>(std::size_t)>& camera) {
    std::vector<HeadMetrics> metrics(count);
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto work = [&] {
        try {
            for (std::size_t i; (i = next.fetch_add(1)) < count;) {
                metrics[i] = Measure(head, camera(i));
            }
        } catch (...) {
            const std::lock_guard<std::mutex> hold(failureLock);
            failure = std::current_exception();
        }
    };
    std::vector<std::thread> pool;
    const std::size_t threads = std::max(1u, std::thread::hardware_concurrency());
    for (std::size_t t = 1; t < std::min(threads, count); ++t) {
        pool.emplace_back(work);
    }
    work();
    for (std::thread& thread : pool) {
        thread.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    return metrics;
}

}  // namespace velmora::tune
