#include "host/run_statistics.h"

#include <algorithm>
#include <cmath>

namespace velmora::host {

std::uint32_t QueryDurations::Percentile(double percent) const {
    if (samples_.empty()) {
        return 0;
    }
    std::vector<std::uint32_t> sorted = samples_;
    std::sort(sorted.begin(), sorted.end());
    const auto rank = static_cast<std::size_t>(std::ceil(percent / 100.0 * sorted.size()));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

std::uint32_t QueryDurations::Max() const {
    return samples_.empty() ? 0 : *std::max_element(samples_.begin(), samples_.end());
}

void RunStatistics::RecordQuery(int index, bool answered, float value, std::uint32_t nanoseconds) {
    ++queries_;
    durations_.Add(nanoseconds);
    if (index == 0) {
        longestYawLeft_ = std::max(longestYawLeft_, nanoseconds);
    }
    ControlTally& tally = tallies_[index];
    ++tally.queries;
    tally.lastAnswered = answered;
    if (!answered) {
        return;
    }
    ++tally.answered;
    tally.lastValue = value;
    if (!std::isfinite(value)) {
        ++nonFiniteAnswers_;
        return;
    }
    if (!tally.hasRange) {
        tally.min = tally.max = value;
        tally.hasRange = true;
    } else {
        tally.min = std::min(tally.min, value);
        tally.max = std::max(tally.max, value);
    }
}

}  // namespace velmora::host
