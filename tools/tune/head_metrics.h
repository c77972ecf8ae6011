#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "tune/motion_stretches.h"

namespace velmora::tune {

// One glance away from a resting head, as found on one axis of a reference.
struct Glance {
    std::size_t restEnd = 0;  // the first poll after the rest the glance leaves
    double direction = 1.0;   // +1 or -1: the way the head turns on this axis
    double sizeDegrees = 0.0;
};

// Where the head was at each poll of one axis, and what it did there: the yardstick every camera
// on that axis is measured against. It comes from the readings alone (EstimateHead), or from a
// head whose true pose is known (KnownHead); either way the rests, movements and glances are found
// on the reference itself, and the tracker's isolated outliers on the readings, so that every
// camera is measured over the same polls.
//
// Angles are in degrees, one value per poll, carried across the ±180° seam (Unwrapped).
struct HeadReference {
    std::vector<double> degrees;
    double pollSeconds = 0.01;
    std::vector<Stretch> rests;        // speed under 5°/s over 0.2 s, for 0.5 s or more
    std::vector<Stretch> movements;    // speed over 20°/s between neighbouring polls
    std::vector<Glance> glances;       // movements of 5° or more that leave a rest
    std::vector<Stretch> outliers;     // the polls that hold one isolated outlying reading
    std::vector<double> outlierSides;  // +1 or -1 each: the side of its neighbours it lies on
    double noiseScaleDegrees = 0.0;    // the readings' noise, robustly, from neighbouring samples
    double holdSeconds = 0.0;          // EstimateHead: how far the readings trail the head
    double seconds = 0.0;              // the trace's length

    // Only what lies in `blocks` (runs of polls, in order): each rest and movement cut to the block
    // it begins in, the glances that leave a rest there and the outliers there, so that a camera
    // is measured on part of a trace (a held-out half) with the reference found on all of it.
    HeadReference Within(const std::vector<Stretch>& blocks) const;
};

// The readings' angles in degrees, each carried by whole turns to lie within half a turn of the
// one before: the head's own path, even when it turns on past a full circle.
std::vector<double> Unwrapped(const std::vector<std::int32_t>& raw);

// The best estimate, from the readings alone, of where the head was at each poll. Not causal: it
// looks ahead as far as behind, so it does not lag.
//
// 1. A tracker holds each sample until its next, so a poll often repeats the one before. Each
//    sample is compared with the two around it; one that lies far from both, on the same side,
//    while they agree with each other, is an isolated outlier and takes their midpoint.
// 2. A quadratic is fitted by least squares about every poll (tricube weights), and its value
//    there is the estimate. Its reach each way is chosen at every poll from 50 ms to a second:
//    the longest whose fit agrees, within the fits' own noise, with every shorter one (a longer
//    reach averages more noise away, until the head's motion bends it), and never within 50 ms
//    of where a line over 0.3 s turns faster than 10°/s. A resting head is averaged over up to a
//    second each way, without bending to its slow wander; a 300°/s glance is followed to a few
//    tenths of a degree.
// 3. A held reading is on average half a tracker update old when it is polled: the estimate is
//    moved that much earlier, so that it stands for the head at the poll, as a player feels it.
//    The update interval is read from how often a moving head's reading repeats. (A tracker
//    whose clock keeps step with the polls holds its readings by a fixed share of an update
//    instead: the simulated 60 Hz tracker read every 10 ms leaves the estimate about a
//    millisecond late.)
HeadReference EstimateHead(const std::vector<double>& readings, double pollSeconds);

// The head's true pose at each poll as the reference; the outliers are found on the readings as
// EstimateHead finds them.
HeadReference KnownHead(std::vector<double> truth, const std::vector<double>& readings,
                        double pollSeconds);

// How one camera follows one axis of the head, measured against a reference. The camera is one
// value per poll in degrees; camera and reference are compared modulo a turn. A figure is absent
// when the trace holds nothing it could be measured on.
struct HeadMetrics {
    // The rests, each from 0.25 s after it begins (before that the camera is still arriving from
    // the movement, which the lag measures): the RMS of camera minus reference.
    std::optional<double> restErrorDegrees;
    // Its slow part: the RMS of that difference averaged over a second (0.5 s each way, within the
    // rest). A camera that trails the head's slow wander, or creeps to where a glance ended.
    std::optional<double> trailDegrees;
    // Its fast part: the RMS of what remains. Trail and shake add up, in squares, to about the
    // rest error.
    std::optional<double> shakeDegrees;
    // While the head moves (over 20°/s): the RMS of camera minus reference divided by the RMS of
    // the head's speed, in milliseconds. A camera that trails a moving head by a fixed delay
    // measures as that delay; one that holds still and then jumps measures as the delay that
    // would cost as much.
    std::optional<double> effectiveLagMilliseconds;
    // Per glance: the time from when the head has turned 2° from where it rested until the camera
    // has turned 2° from where it stood, in milliseconds (at most 500); the median over glances.
    std::optional<double> onsetDelayMilliseconds;
    // The isolated outliers at rest: the camera's move after each, from where it stood against
    // the reference just before, turned to the outlier's side and averaged over them; the largest
    // of that average within 0.3 s. The typical jump an outlier gives the camera (a filter that
    // passes it whole jumps by all of it), with the camera's own shake averaged away.
    std::optional<double> spikeResponseDegrees;
    std::size_t glances = 0;
    std::size_t outliersAtRest = 0;

    static HeadMetrics Measure(const HeadReference& head, const std::vector<double>& camera);
    // `count` cameras measured against `head`, the i-th drawn from camera(i), on every core: a
    // search's settings owe nothing to each other. What one of them throws is thrown here.
    static std::vector<HeadMetrics> MeasureAll(
        const HeadReference& head, std::size_t count,
        const std::function<std::vector<double>(std::size_t)>& camera);
};

// What the tracker itself does on one axis, so that a player learns what to smooth.
struct TrackerFigures {
    // At rest, outliers left out: the RMS of readings minus the reference. From an estimate this is
    // the tracker's noise together with the head's own fast shake (a car's vibration), which no
    // reading can tell apart.
    std::optional<double> noiseDegrees;
    // Isolated outliers a second, over the whole trace: samples 4.5 noise widths, and at least
    // 0.5°, from the midpoint of their neighbours. An outlier within a few noise widths cannot be
    // told from the noise: at 1° of noise, most of 5° go unseen.
    double spikesPerSecond = 0.0;

    static TrackerFigures Measure(const HeadReference& head, const std::vector<double>& readings);
};

}  // namespace velmora::tune
