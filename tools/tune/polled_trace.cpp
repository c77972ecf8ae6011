#include "polled_trace.h"

#include <cmath>

#include "trace_replay.h"
#include "tracking/axis_filter.h"

namespace velmora::tune {

std::optional<PolledTrace> LoadPolledTrace(const std::string& path, TraceUnits units,
                                           std::string& error) {
    const bool raw = units == TraceUnits::Raw || (units == TraceUnits::FromHeader &&
                                                  sim::TraceReplay::HeaderNamesRawUnits(path));
    sim::TraceReplay replay;
    if (!replay.Load(path, raw)) {
        error = "cannot read a trace from " + path;
        return std::nullopt;
    }
    // The replay's own lookup, so that the simulated tracker replaying the same file by the clock
    // hands out the same readings.
    PolledTrace trace;
    const auto polls =
        static_cast<std::size_t>(std::floor(replay.Span() / PolledTrace::kPollSeconds + 1e-9)) + 1;
    trace.readings.reserve(polls);
    for (std::size_t poll = 0; poll < polls; ++poll) {
        trace.readings.push_back(replay.At(trace.Seconds(poll)));
    }
    return trace;
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
