#pragma once

#include <cstddef>
#include <vector>

namespace velmora::tune {

// A run of readings [begin, end).
struct Stretch {
    std::size_t begin = 0;
    std::size_t end = 0;

    std::size_t Length() const { return end - begin; }
};

// The runs of at least `shortest` consecutive indices below `count` that pass `test`.
template <typename Test>
std::vector<Stretch> Runs(std::size_t count, std::size_t shortest, Test test) {
    std::vector<Stretch> runs;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= count; ++i) {
        if (i < count && test(i)) {
            continue;
        }
        if (i - begin >= shortest) {
            runs.push_back({begin, i});
        }
        begin = i + 1;
    }
    return runs;
}

// Where the head rests and where it moves, judged from the input alone so that every profile is
// measured over the same readings. The speed of a reading is taken over the 0.2 s around it, which
// sees past the tracker's 0.1° steps. Lengths are counted in readings, 10 ms apart in most traces;
// a recording at another rate keeps the counts, and its speeds and seconds use its own interval.
struct MotionStretches {
    static constexpr double kStillBelowDegreesPerSecond = 5.0;
    static constexpr double kMovingAboveDegreesPerSecond = 20.0;
    static constexpr std::size_t kShortestStill = 50;  // 0.5 s: a glance away is not a rest
    static constexpr std::size_t kShortestMove = 10;   // 0.1 s

    static constexpr double kFullTurnJumpDegrees = 180.0;
    static constexpr std::size_t kAfterFullTurn = 50;  // the camera catches up within 0.5 s

    std::vector<Stretch> still;
    std::vector<Stretch> moving;
    double pollSeconds = 0.01;  // between two readings
    // Around a jump of the stored readings by a whole turn (the filter carries a reading across the
    // ±180° seam, but not a head that turns on past a full circle), and around a join of a trace
    // cut to one vehicle: no head moves like that, so these readings count as neither rest nor
    // movement, and no metric looks at them.
    std::vector<Stretch> leftOut;

    bool LeftOut(std::size_t reading) const;

    // Only what lies in `blocks` (in order, within the trace's `readings`): each rest and movement
    // in the block where it begins, cut off at that block's end, and every reading outside the
    // blocks left out. Nothing measured on the result looks past the blocks' edges.
    MotionStretches Within(const std::vector<Stretch>& blocks, std::size_t readings) const;

    // `degrees` holds one reading per poll; `joins` are where a cut trace's stretches meet.
    static MotionStretches Find(const std::vector<double>& degrees,
                                const std::vector<std::size_t>& joins = {},
                                double pollSeconds = 0.01);
    double Seconds(const std::vector<Stretch>& stretches) const;
};

}  // namespace velmora::tune
