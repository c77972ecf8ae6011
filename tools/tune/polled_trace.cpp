#include "tune/polled_trace.h"

#include <cmath>

#include "simdriver/trace_replay.h"
#include "tracking/axis_filter.h"

namespace velmora::tune {
namespace {

// The replay's own lookup, so that the simulated tracker replaying the same rows by the clock
// hands out the same readings.
void Poll(std::vector<sim::TraceRow> rows, std::vector<sim::Pose>& readings) {
    sim::TraceReplay replay;
    replay.Assign(std::move(rows));
    const auto polls =
        static_cast<std::size_t>(std::floor(replay.Span() / PolledTrace::kPollSeconds + 1e-9)) + 1;
    for (std::size_t poll = 0; poll < polls; ++poll) {
        readings.push_back(replay.At(static_cast<double>(poll) * PolledTrace::kPollSeconds));
    }
}

}  // namespace

std::optional<PolledTrace> PolledTrace::From(const sim::TraceFile& file, const std::string& vehicle,
                                             std::string& error) {
    PolledTrace trace;
    double span = 0.0;
    std::size_t steps = 0;
    auto take = [&](std::size_t begin, std::size_t end) {
        if (!trace.readings.empty()) {
            trace.joins.push_back(trace.readings.size());
        }
        const auto first = file.rows.begin() + static_cast<std::ptrdiff_t>(begin);
        const auto last = file.rows.begin() + static_cast<std::ptrdiff_t>(end);
        if (!file.rawUnits) {
            Poll({first, last}, trace.readings);
            return;
        }
        for (auto row = first; row != last; ++row) {
            trace.readings.push_back(row->pose);
        }
        span += (last - 1)->time - first->time;
        steps += end - begin - 1;
    };
    if (vehicle.empty()) {
        take(0, file.rows.size());
    }
    const auto& marks = file.vehicles;
    for (std::size_t i = 0; i < marks.size() && !vehicle.empty(); ++i) {
        const std::size_t end = i + 1 < marks.size() ? marks[i + 1].firstRow : file.rows.size();
        if (marks[i].name == vehicle && marks[i].firstRow != end) {
            take(marks[i].firstRow, end);
        }
    }
    if (steps != 0 && span > 0.0) {
        trace.pollSeconds = span / static_cast<double>(steps);
    }
    if (trace.readings.empty()) {
        error = "the trace holds no rows recorded while driving \"" + vehicle + "\"";
        std::string driven;
        for (const auto& [name, seconds] : file.VehicleSeconds()) {
            if (!name.empty()) {
                driven += (driven.empty() ? "" : ", ") + ("\"" + name + "\"");
            }
        }
        error += driven.empty() ? " (it names no vehicle)" : " (it holds " + driven + ")";
        return std::nullopt;
    }
    return trace;
}

std::optional<PolledTrace> LoadPolledTrace(const std::string& path, TraceUnits units,
                                           std::string& error) {
    const auto file = sim::ReadTraceFile(path, units, error);
    if (!file) {
        return std::nullopt;
    }
    return PolledTrace::From(*file, "", error);
}

std::vector<double> StoredDegrees(const PolledTrace& trace, std::int32_t sim::Pose::*axis) {
    // A filter that averages one sample outputs each reading exactly as the filter stores it.
    AxisFilter passThrough(1, 1, 1.0f, 0);
    std::vector<double> degrees;
    degrees.reserve(trace.readings.size());
    for (const sim::Pose& reading : trace.readings) {
        passThrough.AddSample(reading.*axis);
        degrees.push_back(RawToDegrees(passThrough.Output()));
    }
    return degrees;
}

}  // namespace velmora::tune
