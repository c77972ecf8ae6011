#include "motion_stretches.h"

#include <algorithm>
#include <cmath>

#include "polled_trace.h"

namespace velmora::tune {
namespace {

constexpr std::size_t kSpeedReach = 10;  // readings on each side: 0.1 s

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

}  // namespace

MotionStretches MotionStretches::Find(const std::vector<double>& degrees) {
    const std::size_t count = degrees.size();
    MotionStretches stretches;
    for (std::size_t i = 1; i < count; ++i) {
        if (std::abs(degrees[i] - degrees[i - 1]) > kFullTurnJumpDegrees) {
            const Stretch turn{i >= kSpeedReach ? i - kSpeedReach : 0,
                               std::min(count, i + std::max(kSpeedReach, kAfterFullTurn))};
            if (!stretches.fullTurns.empty() && stretches.fullTurns.back().end >= turn.begin) {
                stretches.fullTurns.back().end = turn.end;
            } else {
                stretches.fullTurns.push_back(turn);
            }
        }
    }
    std::vector<double> speed(count, 0.0);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t before = i >= kSpeedReach ? i - kSpeedReach : 0;
        const std::size_t after = std::min(i + kSpeedReach, count - 1);
        if (after > before) {
            const double seconds = static_cast<double>(after - before) * PolledTrace::kPollSeconds;
            speed[i] = std::abs(degrees[after] - degrees[before]) / seconds;
        }
    }
    stretches.still = Runs(count, kShortestStill, [&](std::size_t i) {
        return speed[i] < kStillBelowDegreesPerSecond && !stretches.InFullTurn(i);
    });
    stretches.moving = Runs(count, kShortestMove, [&](std::size_t i) {
        return speed[i] > kMovingAboveDegreesPerSecond && !stretches.InFullTurn(i);
    });
    return stretches;
}

bool MotionStretches::InFullTurn(std::size_t reading) const {
    const auto after =
        std::upper_bound(fullTurns.begin(), fullTurns.end(), reading,
                         [](std::size_t value, const Stretch& turn) { return value < turn.begin; });
    return after != fullTurns.begin() && reading < std::prev(after)->end;
}

}  // namespace velmora::tune
