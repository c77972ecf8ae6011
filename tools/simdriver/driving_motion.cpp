#include "simdriver/driving_motion.h"

#include <algorithm>
#include <cmath>

#include "simdriver/seeded_random.h"

namespace velmora::sim {
namespace {

constexpr double Pi = 3.14159265358979323846;

// Streams of one seed, so that the schedule does not shift when the waves change, or the reverse.
enum Stream : std::uint64_t { kSchedule = 1, kWaves = 2 };

// A head at rest is never quite still: it drifts by a fraction of a degree over tens of seconds,
// yaw the most. Per axis (yaw, pitch, roll), the amplitudes of three waves of 0.02 Hz to 0.2 Hz: at
// most 0.67° from centre and under 1°/s.
constexpr double kWanderDegrees[3][3] = {{0.35, 0.2, 0.12}, {0.25, 0.15, 0.08}, {0.2, 0.1, 0.06}};
// The road shakes the head at 4 Hz to 12 Hz, where a seated body passes a car's vibration on to
// the head; bumps nod it most. A wave's typical amplitude per axis, scaled by 0.6 to 1.2, and by
// the road's roughness, 0.5 to 1.5: together about 0.01° to 0.03° RMS and peaks under 0.1°.
constexpr double kVibrationDegrees[3] = {0.012, 0.02, 0.015};

// Glances. The head's part of a gaze shift is faster the larger it is: about 170°/s for 20° and
// 300°/s for 70°, give or take 10%, never over 300°/s. The return is slower, 60% to 85% of that.
constexpr double kGlanceBaseSpeed = 110.0;
constexpr double kGlanceSpeedPerDegree = 2.8;
constexpr double kMaxGlanceSpeed = 300.0;
// No glance begins within this many seconds of the last one's end.
constexpr double kGlanceGap = 0.8;
// A straight of 3 s to 9 s holds a mirror glance this often, if it fits before the apex glance.
constexpr double kMirrorChance = 0.6;

// 0 to 1 with zero speed and acceleration at both ends: how a hand or a head moves to a target.
double MinimumJerk(double fraction) {
    return fraction * fraction * fraction * (10.0 + fraction * (-15.0 + 6.0 * fraction));
}

// How far along its offset a movement has the head at `seconds`: 0 at rest, 1 while held.
double Extent(const HeadMove& move, double seconds) {
    const double out = seconds - move.start;
    if (out <= 0.0 || seconds >= move.End()) {
        return 0.0;
    }
    if (out < move.rise) {
        return MinimumJerk(out / move.rise);
    }
    const double back = out - move.rise - move.hold;
    return back <= 0.0 ? 1.0 : 1.0 - MinimumJerk(back / move.fall);
}

// `direction`: +1 toward a left-hand corner, -1 toward a right-hand one (yaw is positive to the
// left); mirror glances go where their mirror is.
HeadMove Glance(SeededRandom& random, MoveKind kind, double start, double direction) {
    HeadMove move;
    move.kind = kind;
    move.start = start;
    switch (kind) {
        case MoveKind::LeftMirror:
            move.offset = {random.Uniform(35.0, 55.0), -random.Uniform(2.0, 6.0), 0.0};
            break;
        case MoveKind::RearView:
            move.offset = {-random.Uniform(20.0, 30.0), random.Uniform(3.0, 8.0), 0.0};
            break;
        case MoveKind::RightMirror:
            move.offset = {-random.Uniform(50.0, 70.0), -random.Uniform(3.0, 8.0), 0.0};
            break;
        default:
            move.offset = {direction * random.Uniform(20.0, 45.0), -random.Uniform(0.0, 3.0), 0.0};
            break;
    }
    const double speed =
        std::min(kMaxGlanceSpeed, (kGlanceBaseSpeed + kGlanceSpeedPerDegree * move.Size()) *
                                      random.Uniform(0.9, 1.1));
    move.rise = 1.875 * move.Size() / speed;
    move.hold = random.Uniform(0.3, 1.5);
    move.fall = 1.875 * move.Size() / (speed * random.Uniform(0.6, 0.85));
    return move;
}

// Into the corner: a left-hand corner tilts the head left, which is negative roll.
HeadMove Lean(SeededRandom& random, double start, double direction) {
    HeadMove move;
    move.kind = MoveKind::Lean;
    move.start = start;
    move.offset = {0.0, 0.0, -direction * random.Uniform(2.0, 5.0)};
    move.rise = random.Uniform(1.0, 2.0);
    move.hold = random.Uniform(0.5, 4.0);
    move.fall = random.Uniform(1.0, 2.0);
    return move;
}

MoveKind MirrorKind(SeededRandom& random) {
    const double pick = random.Unit();
    return pick < 0.4   ? MoveKind::RearView
           : pick < 0.7 ? MoveKind::LeftMirror
                        : MoveKind::RightMirror;
}

// Straights and corners until the next corner would not be over within the minute. Every corner
// gets an apex glance toward its inside shortly before the turn-in.
std::vector<HeadMove> Schedule(std::uint64_t seed, std::int64_t minute) {
    SeededRandom random(Mix(seed, static_cast<std::uint64_t>(minute), kSchedule));
    const double begin = static_cast<double>(minute) * DrivingMotion::kMinuteSeconds;
    const double end = begin + DrivingMotion::kMinuteSeconds;
    std::vector<HeadMove> moves;
    double straightStart = begin;
    double headFree = begin + kGlanceGap;  // the last minute's movements are over by its end
    for (;;) {
        const double straight = random.Uniform(3.0, 9.0);
        const double turnIn = straightStart + straight;
        const double direction = random.Unit() < 0.5 ? 1.0 : -1.0;
        const HeadMove lean = Lean(random, turnIn, direction);
        const HeadMove apex =
            Glance(random, MoveKind::Apex, std::max(headFree, turnIn - random.Uniform(0.3, 1.0)),
                   direction);
        // Anywhere on the straight where it is over before the apex glance.
        const bool mirror = random.Unit() < kMirrorChance;
        HeadMove look = Glance(random, MirrorKind(random), 0.0, 0.0);
        const double earliest = std::max(headFree, straightStart + 0.5);
        const double room = apex.start - kGlanceGap - (look.End() - look.start) - earliest;
        look.start = earliest + room * random.Unit();
        if (std::max(lean.End(), apex.End()) > end) {
            break;
        }
        if (mirror && room >= 0.0) {
            moves.push_back(look);
        }
        moves.push_back(apex);
        moves.push_back(lean);
        headFree = apex.End() + kGlanceGap;
        straightStart = lean.End();
    }
    std::sort(moves.begin(), moves.end(),
              [](const HeadMove& a, const HeadMove& b) { return a.start < b.start; });
    return moves;
}

std::int64_t MinuteOf(double seconds) {
    return static_cast<std::int64_t>(std::floor(seconds / DrivingMotion::kMinuteSeconds));
}

}  // namespace

double HeadMove::Size() const {
    return std::sqrt(offset.yaw * offset.yaw + offset.pitch * offset.pitch +
                     offset.roll * offset.roll);
}

double DrivingMotion::Wave::At(double seconds) const {
    return amplitude * std::sin(2.0 * Pi * hertz * seconds + phase);
}

DrivingMotion::DrivingMotion(std::uint64_t seed)
    : seed_(seed), cachedMinute_(0), cachedMoves_(Schedule(seed, 0)) {
    SeededRandom random(Mix(seed, 0, kWaves));
    for (std::size_t axis = 0; axis < 3; ++axis) {
        for (std::size_t i = 0; i < 3; ++i) {
            wander_[axis][i] = {kWanderDegrees[axis][i], random.Uniform(0.02, 0.2),
                                random.Uniform(0.0, 2.0 * Pi)};
            vibration_[axis][i] = {kVibrationDegrees[axis] * random.Uniform(0.6, 1.2),
                                   random.Uniform(4.0, 12.0), random.Uniform(0.0, 2.0 * Pi)};
        }
    }
    roadSurface_ = {0.5, random.Uniform(0.02, 0.06), random.Uniform(0.0, 2.0 * Pi)};
}

const std::vector<HeadMove>& DrivingMotion::Minute(std::int64_t minute) {
    if (minute != cachedMinute_) {
        cachedMoves_ = Schedule(seed_, minute);
        cachedMinute_ = minute;
    }
    return cachedMoves_;
}

PoseDegrees DrivingMotion::At(double seconds) {
    const double roughness = 1.0 + roadSurface_.At(seconds);
    double axes[3] = {};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        for (std::size_t i = 0; i < 3; ++i) {
            axes[axis] +=
                wander_[axis][i].At(seconds) + roughness * vibration_[axis][i].At(seconds);
        }
    }
    PoseDegrees pose{axes[0], axes[1], axes[2]};
    for (const HeadMove& move : Minute(MinuteOf(seconds))) {
        if (move.start >= seconds) {
            break;
        }
        const double extent = Extent(move, seconds);
        pose.yaw += extent * move.offset.yaw;
        pose.pitch += extent * move.offset.pitch;
        pose.roll += extent * move.offset.roll;
    }
    return pose;
}

std::vector<HeadMove> DrivingMotion::Moves(double from, double to) const {
    std::vector<HeadMove> moves;
    for (std::int64_t minute = MinuteOf(from); minute <= MinuteOf(to); ++minute) {
        for (const HeadMove& move : Schedule(seed_, minute)) {
            if (move.start >= from && move.start < to) {
                moves.push_back(move);
            }
        }
    }
    return moves;
}

}  // namespace velmora::sim
