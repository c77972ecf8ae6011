#include "host/run_summary.h"

#include <algorithm>
#include <cmath>

#include "config/shown_name.h"

namespace velmora::host {
namespace {

double Microseconds(std::uint32_t nanoseconds) {
    return nanoseconds / 1000.0;
}

}  // namespace

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

void WriteSummary(std::FILE* out, const RunSummary& summary) {
    const RunStatistics& statistics = *summary.statistics;
    std::fprintf(out, "summary.plugin = %s\n", summary.plugin.c_str());
    std::fprintf(out, "summary.plugin_name = %s\n", summary.pluginName.c_str());
    std::fprintf(out, "summary.long_name = %s\n", summary.longName.c_str());
    std::fprintf(out, "summary.driver = %s\n", summary.driver.c_str());
    std::fprintf(out, "summary.seconds = %.2f\n", summary.seconds);
    std::fprintf(out, "summary.frames = %lld\n", static_cast<long long>(statistics.Frames()));
    std::fprintf(out, "summary.frames_per_s = %.1f\n",
                 summary.seconds > 0.0 ? statistics.Frames() / summary.seconds : 0.0);
    std::fprintf(out, "summary.queries = %lld\n", static_cast<long long>(statistics.Queries()));
    std::fprintf(out, "summary.vehicle_updates = %lld\n",
                 static_cast<long long>(summary.vehicleUpdates));
    std::fprintf(out, "summary.last_vehicle = %s\n", QuotedName(summary.lastVehicle).c_str());
    std::fprintf(out, "summary.tracker_found = %s\n", summary.trackerFound.c_str());
    std::fprintf(out, "summary.tracker = %s\n", summary.tracker.c_str());
    for (const auto& [name, value] : summary.driverCounters) {
        std::fprintf(out, "summary.driver.%s = %lld\n", name.c_str(),
                     static_cast<long long>(value));
    }
    std::fprintf(out, "summary.start_ms = %.3f\n", summary.startMilliseconds);
    std::fprintf(out, "summary.stop_ms = %.3f\n", summary.stopMilliseconds);
    std::fprintf(out, "summary.ended_with = %s\n", summary.endedWith.c_str());
    const QueryDurations& durations = statistics.Durations();
    std::fprintf(out, "summary.query_us.p50 = %.3f\n", Microseconds(durations.Percentile(50.0)));
    std::fprintf(out, "summary.query_us.p99 = %.3f\n", Microseconds(durations.Percentile(99.0)));
    std::fprintf(out, "summary.query_us.max = %.3f\n", Microseconds(durations.Max()));
    std::fprintf(out, "summary.yawleft_longest_us = %.3f\n",
                 Microseconds(statistics.LongestYawLeft()));
    std::fprintf(out, "summary.answered_while_disabled = %lld\n",
                 static_cast<long long>(statistics.AnsweredWhileDisabled()));
    std::fprintf(out, "summary.written_without_answer = %lld\n",
                 static_cast<long long>(statistics.WrittenWithoutAnswer()));
    std::fprintf(out, "summary.nonfinite_answers = %lld\n",
                 static_cast<long long>(statistics.NonFiniteAnswers()));
    for (int i = 0; i < kQueriedCount; ++i) {
        const ControlTally& tally = statistics.Tally(i);
        std::fprintf(out, "summary.control.%s = queries %lld answered %lld", QueriedName(i),
                     static_cast<long long>(tally.queries), static_cast<long long>(tally.answered));
        if (tally.hasRange) {
            std::fprintf(out, " min %.6g max %.6g\n", tally.min, tally.max);
        } else {
            std::fprintf(out, " min none max none\n");
        }
    }
}

}  // namespace velmora::host
