#include "simdriver/trace_replay.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace velmora::sim {

bool TraceReplay::Load(const std::string& path, TraceUnits units, std::string& error) {
    auto trace = ReadTraceFile(path, units, error);
    Assign(trace ? std::move(trace->rows) : std::vector<TraceRow>());
    return trace.has_value();
}

void TraceReplay::Assign(std::vector<TraceRow> rows) {
    rows_ = std::move(rows);
    period_ = 0.0;
    if (rows_.size() > 1) {
        // Loop one average step after the last row, so it is held as long as the others.
        const double span = rows_.back().time - rows_.front().time;
        period_ = span + span / static_cast<double>(rows_.size() - 1);
    }
}

Pose TraceReplay::At(double seconds) const {
    if (rows_.empty()) {
        return {};
    }
    if (period_ <= 0.0) {
        return rows_.front().pose;
    }
    const double t = rows_.front().time + std::fmod(std::max(seconds, 0.0), period_);
    auto after = std::upper_bound(rows_.begin(), rows_.end(), t,
                                  [](double time, const TraceRow& row) { return time < row.time; });
    return std::prev(after)->pose;
}

}  // namespace velmora::sim
