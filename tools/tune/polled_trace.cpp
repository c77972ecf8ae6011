#include "tune/polled_trace.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "config/shown_name.h"
#include "simdriver/trace_replay.h"
#include "tracking/axis_filter.h"

namespace velmora::tune {
namespace {

// A name as a player may type it: without spaces at either end, in small letters.
std::string Plain(std::string_view name) {
    const std::size_t first = name.find_first_not_of(" \t");
    const std::size_t last = name.find_last_not_of(" \t");
    std::string plain(first == std::string_view::npos ? "" : name.substr(first, last - first + 1));
    for (char& c : plain) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return plain;
}

// Columns, not bytes: a name may hold letters of two bytes or more.
std::size_t Columns(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

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
            if (row->truth) {
                trace.truth.push_back(*row->truth);
            }
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
    if (trace.truth.size() != trace.readings.size()) {
        trace.truth.clear();
    }
    if (steps != 0 && span > 0.0) {
        trace.pollSeconds = span / static_cast<double>(steps);
    }
    if (trace.readings.empty()) {
        error = "the trace holds no rows recorded while driving " + QuotedName(vehicle);
        std::string driven;
        std::string near;
        for (const auto& [name, seconds] : file.VehicleSeconds()) {
            if (!name.empty()) {
                driven += (driven.empty() ? "" : ", ") + QuotedName(name);
                // What a player types from the list misses a space at either end, or a capital.
                if (near.empty() && Plain(name) == Plain(vehicle)) {
                    near = name;
                }
            }
        }
        error += driven.empty() ? " (it names no vehicle)" : " (it holds " + driven + ")";
        if (!near.empty()) {
            const std::string hidden = HiddenInName(near);
            error += "; did you mean " + QuotedName(near) +
                     (hidden.empty() ? "" : " (" + hidden + ")") + "?";
        }
        return std::nullopt;
    }
    return trace;
}

std::string CarsDriven(const sim::TraceFile& file) {
    const auto driven = file.VehicleSeconds();
    std::vector<std::string> names;
    std::size_t widest = 0;
    for (const auto& [car, seconds] : driven) {
        names.push_back(car.empty() ? "no car yet" : QuotedName(car));
        widest = std::max(widest, Columns(names.back()));
    }
    std::string text = "The trace names the cars driven (--trace-vehicle NAME takes one alone):\n";
    for (std::size_t i = 0; i < driven.size(); ++i) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%8.1f s", driven[i].second);
        const std::string hidden = HiddenInName(driven[i].first);
        text += "  " + names[i] + std::string(widest - Columns(names[i]), ' ') + seconds +
                (hidden.empty() ? "" : "  (" + hidden + ")") + "\n";
    }
    return text;
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
