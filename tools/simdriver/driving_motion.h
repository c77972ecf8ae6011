#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "simdriver/pose.h"

namespace velmora::sim {

// What a movement of the head is for. The mirrors are those of a left-hand-drive car: the left
// door mirror, the rear-view mirror up and right of centre, and the right door mirror, farthest.
enum class MoveKind { LeftMirror, RearView, RightMirror, Apex, Lean };

// One movement away from the resting head and back: a minimum-jerk rise to `offset`, a hold, and
// a minimum-jerk return. A glance rises quickly and comes back a little more slowly; a lean into a
// corner tilts the head over a second or two and stays for the corner.
struct HeadMove {
    MoveKind kind = MoveKind::Apex;
    double start = 0.0;  // seconds: the onset, where the head begins to move
    double rise = 0.0;   // seconds to reach the offset
    double hold = 0.0;   // seconds held there
    double fall = 0.0;   // seconds back to rest
    PoseDegrees offset;  // from the resting head

    bool IsGlance() const { return kind != MoveKind::Lean; }
    double Settled() const { return start + rise; }
    double End() const { return start + rise + hold + fall; }
    // How far it turns, all axes together, and its fastest turn on the way out: a minimum-jerk
    // movement peaks at 15/8 of its mean speed, half-way.
    double Size() const;
    double PeakSpeed() const { return 1.875 * Size() / rise; }
};

// A driver's head through laps of a road, the same for the same seed on every system: mostly still
// with a slow wander, a glance at a mirror on some straights, a glance at the apex before each
// corner, a lean into the corner on roll, and the road's vibration beneath it all. Defined at any
// time, past or future, without end.
//
// The schedule comes in minutes of road, each drawn from the seed and its own number, and every
// movement ends within its minute: a pose at any time needs only that minute's schedule.
class DrivingMotion {
public:
    static constexpr double kMinuteSeconds = 60.0;

    explicit DrivingMotion(std::uint64_t seed);

    // The true pose `seconds` after the drive began. Not const: it keeps the schedule of the
    // minute last asked about, so that walking forward in time draws each minute once.
    PoseDegrees At(double seconds);
    // The movements that begin within [from, to), in order.
    std::vector<HeadMove> Moves(double from, double to) const;

private:
    struct Wave {
        double amplitude = 0.0;  // degrees
        double hertz = 0.0;
        double phase = 0.0;  // radians

        double At(double seconds) const;
    };
    // Three waves an axis each: a sum of a few unrelated slow waves looks like a wander, never
    // repeating within a drive, and a few fast ones like a road's shake.
    using AxisWaves = std::array<Wave, 3>;

    const std::vector<HeadMove>& Minute(std::int64_t minute);

    std::uint64_t seed_;
    std::array<AxisWaves, 3> wander_;
    std::array<AxisWaves, 3> vibration_;
    Wave roadSurface_;  // how rough the road is, slowly changing: scales the vibration
    std::int64_t cachedMinute_;
    std::vector<HeadMove> cachedMoves_;
};

}  // namespace velmora::sim
