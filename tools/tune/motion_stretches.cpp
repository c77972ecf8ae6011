#include "tune/motion_stretches.h"

#include <algorithm>
#include <cmath>

#include "tune/polled_trace.h"

namespace velmora::tune {
namespace {

constexpr std::size_t kSpeedReach = 10;  // readings on each side: 0.1 s

}  // namespace

MotionStretches MotionStretches::Find(const std::vector<double>& degrees,
                                      const std::vector<std::size_t>& joins, double pollSeconds) {
    const std::size_t count = degrees.size();
    MotionStretches stretches;
    stretches.pollSeconds = pollSeconds;
    auto joinIndex = joins.begin();
    for (std::size_t i = 1; i < count; ++i) {
        const bool join = joinIndex != joins.end() && *joinIndex == i;
        joinIndex += join ? 1 : 0;
        if (join || std::abs(degrees[i] - degrees[i - 1]) > kFullTurnJumpDegrees) {
            const Stretch jump{i >= kSpeedReach ? i - kSpeedReach : 0,
                               std::min(count, i + std::max(kSpeedReach, kAfterFullTurn))};
            if (!stretches.leftOut.empty() && stretches.leftOut.back().end >= jump.begin) {
                stretches.leftOut.back().end = jump.end;
            } else {
                stretches.leftOut.push_back(jump);
            }
        }
    }
    std::vector<double> speed(count, 0.0);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t before = i >= kSpeedReach ? i - kSpeedReach : 0;
        const std::size_t after = std::min(i + kSpeedReach, count - 1);
        if (after > before) {
            const double seconds = static_cast<double>(after - before) * pollSeconds;
            speed[i] = std::abs(degrees[after] - degrees[before]) / seconds;
        }
    }
    stretches.still = Runs(count, kShortestStill, [&](std::size_t i) {
        return speed[i] < kStillBelowDegreesPerSecond && !stretches.LeftOut(i);
    });
    stretches.moving = Runs(count, kShortestMove, [&](std::size_t i) {
        return speed[i] > kMovingAboveDegreesPerSecond && !stretches.LeftOut(i);
    });
    return stretches;
}

MotionStretches MotionStretches::Within(const std::vector<Stretch>& blocks,
                                        std::size_t readings) const {
    MotionStretches part;
    part.pollSeconds = pollSeconds;
    auto keep = [&](const std::vector<Stretch>& runs, std::size_t shortest) {
        std::vector<Stretch> kept;
        for (const Stretch& run : runs) {
            const auto block = std::find_if(blocks.begin(), blocks.end(), [&](const Stretch& b) {
                return b.begin <= run.begin && run.begin < b.end;
            });
            if (block != blocks.end() && std::min(run.end, block->end) - run.begin >= shortest) {
                kept.push_back({run.begin, std::min(run.end, block->end)});
            }
        }
        return kept;
    };
    part.still = keep(still, kShortestStill);
    part.moving = keep(moving, kShortestMove);
    // The readings between the blocks, merged with those already left out.
    std::vector<Stretch> out = leftOut;
    std::size_t from = 0;
    for (const Stretch& block : blocks) {
        out.push_back({from, block.begin});
        from = block.end;
    }
    out.push_back({from, readings});
    std::sort(out.begin(), out.end(),
              [](const Stretch& a, const Stretch& b) { return a.begin < b.begin; });
    for (const Stretch& run : out) {
        if (run.begin >= run.end) {
            continue;
        }
        if (!part.leftOut.empty() && part.leftOut.back().end >= run.begin) {
            part.leftOut.back().end = std::max(part.leftOut.back().end, run.end);
        } else {
            part.leftOut.push_back(run);
        }
    }
    return part;
}

double MotionStretches::Seconds(const std::vector<Stretch>& stretches) const {
    std::size_t readings = 0;
    for (const Stretch& stretch : stretches) {
        readings += stretch.Length();
    }
    return static_cast<double>(readings) * pollSeconds;
}

bool MotionStretches::LeftOut(std::size_t reading) const {
    const auto after =
        std::upper_bound(leftOut.begin(), leftOut.end(), reading,
                         [](std::size_t value, const Stretch& jump) { return value < jump.begin; });
    return after != leftOut.begin() && reading < std::prev(after)->end;
}

}  // namespace velmora::tune
