#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "controls/control_names.h"

namespace velmora::host {

// Names a game asks about that the plug-in does not drive; each must stay unanswered. The last
// differs from a driven name only in case.
inline constexpr std::array<const char*, 3> kUndrivenControls = {"Camera_Zoom", "Throttle",
                                                                 "camera_yawleft"};

// Every frame queries the nine driven controls, in their order, and then the undriven names.
inline constexpr int kQueriedCount =
    static_cast<int>(kControlNames.size() + kUndrivenControls.size());

inline const char* QueriedName(int index) {
    const int driven = static_cast<int>(kControlNames.size());
    return index < driven ? kControlNames[index] : kUndrivenControls[index - driven];
}

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

// What the run saw of the plug-in's answers, for the live view and the summary.
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

struct RunSummary {
    std::string plugin;
    std::string pluginName;
    std::string longName;
    std::string driver;
    double seconds = 0.0;
    const RunStatistics* statistics = nullptr;
    std::int64_t vehicleUpdates = 0;
    std::string lastVehicle;
    std::string trackerFound;  // what the plug-in's search for the driver found, and where
    std::string tracker;
    // Counters of the simulated driver, read after Stop; empty when it has no test interface.
    std::vector<std::pair<std::string, std::int64_t>> driverCounters;
    double startMilliseconds = 0.0;
    double stopMilliseconds = 0.0;
    std::string endedWith;
};

// "summary.<key> = <value>" lines in a fixed order: tests and scripts parse them. Each queried name
// has one line, "summary.control.<name> = queries Q answered A min X max Y", with min and max
// "none" when it was never answered.
void WriteSummary(std::FILE* out, const RunSummary& summary);

}  // namespace velmora::host
