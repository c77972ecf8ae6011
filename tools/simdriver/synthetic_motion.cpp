#include "simdriver/synthetic_motion.h"

#include <cmath>
#include <iterator>

namespace velmora::sim {
namespace {

struct Keyframe {
    double time;   // seconds into the cycle
    double yaw;    // degrees; positive = left
    double pitch;  // positive = up
    double roll;   // positive = tilted right
};

// Holds and moves of a driver's head; from each key the pose eases to the next.
constexpr Keyframe Script[] = {
    {0.0, 0, 0, 0},     {0.4, 0, 0, 0},                            // straight ahead
    {1.3, 35, -4, 2},   {2.3, 35, -4, 2},                          // into a left-hand corner
    {3.1, 0, 0, 0},     {3.8, 0, 0, 0},                            //
    {4.3, -55, -8, -3}, {4.9, -55, -8, -3},                        // the right mirror
    {5.4, 0, 0, 0},     {6.0, 0, 0, 0},                            //
    {6.8, 5, 2, 12},    {7.8, 5, 2, 12},                           // a lean to the right
    {8.4, -20, 6, 0},   {9.0, 25, 8, -4},                          // up and across
    {9.6, 0, 0, 0},     {SyntheticMotion::CycleSeconds, 0, 0, 0},  //
};

constexpr double Pi = 3.14159265358979323846;
constexpr double NoiseDegrees = 0.15;

double Ease(double from, double to, double fraction) {
    const double smooth = fraction * fraction * (3.0 - 2.0 * fraction);
    return from + (to - from) * smooth;
}

double Sway(double seconds, double amplitude, double hertz, double phase) {
    return amplitude * std::sin(2.0 * Pi * hertz * seconds + phase);
}

}  // namespace

Pose SyntheticMotion::At(double seconds) {
    const double t = std::fmod(seconds < 0.0 ? 0.0 : seconds, CycleSeconds);
    const Keyframe* next = std::begin(Script) + 1;
    while (next + 1 != std::end(Script) && next->time <= t) {
        ++next;
    }
    const Keyframe& from = *(next - 1);
    const double fraction = (t - from.time) / (next->time - from.time);

    const double yaw = Ease(from.yaw, next->yaw, fraction) + Sway(seconds, 1.5, 0.23, 0.0);
    const double pitch = Ease(from.pitch, next->pitch, fraction) + Sway(seconds, 1.0, 0.31, 1.0);
    const double roll = Ease(from.roll, next->roll, fraction) + Sway(seconds, 0.8, 0.17, 2.0);
    return {DegreesToRaw(yaw + Noise()), DegreesToRaw(pitch + Noise()),
            DegreesToRaw(roll + Noise())};
}

// Uniform in [-NoiseDegrees, NoiseDegrees]; xorshift32 is plenty for jitter.
double SyntheticMotion::Noise() {
    noiseState_ ^= noiseState_ << 13;
    noiseState_ ^= noiseState_ >> 17;
    noiseState_ ^= noiseState_ << 5;
    return (static_cast<double>(noiseState_) / 4294967295.0 * 2.0 - 1.0) * NoiseDegrees;
}

}  // namespace velmora::sim
