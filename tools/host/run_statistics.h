#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "host/control_names.h"

namespace velmora::host {

// What one control's answers looked like over the run.
struct ControlTally {
    std::int64_t queries = 0;
    std::int64_t answered = 0;
    bool hasRange = false;  // min and max cover the finite answers
    float min = 0.0f;
    float max = 0.0f;
    bool lastAnswered = false;
    float lastValue = 0.0f;
};

// Durations of QueryControl calls, kept whole: a 10-second run at 60 frames has fewer than
// ten thousand, and exact percentiles are worth four bytes each.
class QueryDurations {
public:
    void Add(std::uint32_t nanoseconds) { samples_.push_back(nanoseconds); }
    std::size_t Count() const { return samples_.size(); }
    // Nearest-rank percentile, 0 when empty. Sorts a copy: called at the end of the run only.
    std::uint32_t Percentile(double percent) const;
    std::uint32_t Max() const;

private:
    std::vector<std::uint32_t> samples_;
};

class RunStatistics {
public:
    // `index` as QueriedName(index).
    void RecordQuery(int index, bool answered, float value, std::uint32_t nanoseconds);
    void CountFrame() { ++frames_; }
    // Answers given while the host had the plug-in disabled: there should be none.
    void CountAnswerWhileDisabled() { ++answeredWhileDisabled_; }
    // A false answer must leave the caller's float alone.
    void CountWriteWithoutAnswer() { ++writtenWithoutAnswer_; }

    std::int64_t Frames() const { return frames_; }
    std::int64_t Queries() const { return queries_; }
    std::int64_t AnsweredWhileDisabled() const { return answeredWhileDisabled_; }
    std::int64_t WrittenWithoutAnswer() const { return writtenWithoutAnswer_; }
    std::int64_t NonFiniteAnswers() const { return nonFiniteAnswers_; }
    const ControlTally& Tally(int index) const { return tallies_[index]; }
    const QueryDurations& Durations() const { return durations_; }
    std::uint32_t LongestYawLeft() const { return longestYawLeft_; }

private:
    std::array<ControlTally, kQueriedCount> tallies_{};
    QueryDurations durations_;
    std::int64_t frames_ = 0;
    std::int64_t queries_ = 0;
    std::int64_t answeredWhileDisabled_ = 0;
    std::int64_t writtenWithoutAnswer_ = 0;
    std::int64_t nonFiniteAnswers_ = 0;
    std::uint32_t longestYawLeft_ = 0;
};

}  // namespace velmora::host
