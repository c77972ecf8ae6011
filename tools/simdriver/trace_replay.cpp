#include "trace_replay.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string_view>

namespace velmora::sim {
namespace {

// Reads the next comma-separated number of `line`; from_chars ignores the locale.
bool NextNumber(std::string_view& line, double& value) {
    while (!line.empty() && line.front() == ' ') {
        line.remove_prefix(1);
    }
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (error != std::errc{}) {
        return false;
    }
    line.remove_prefix(static_cast<std::size_t>(end - line.data()));
    while (!line.empty() && (line.front() == ' ' || line.front() == '\r')) {
        line.remove_prefix(1);
    }
    if (!line.empty() && line.front() == ',') {
        line.remove_prefix(1);
    }
    return true;
}

}  // namespace

bool TraceReplay::Load(const std::string& path, bool rawUnits) {
    rows_.clear();
    std::ifstream file(path, std::ios::binary);
    std::string text;
    if (!file || !std::getline(file, text)) {
        return false;
    }
    while (std::getline(file, text)) {
        std::string_view line = text;
        double time = 0.0;
        double angles[3] = {};
        if (!NextNumber(line, time) || !NextNumber(line, angles[0]) ||
            !NextNumber(line, angles[1]) || !NextNumber(line, angles[2])) {
            continue;
        }
        // A value no tracker gives (not a number, or beyond a billion units or degrees) has no
        // rounding to an int: the row is skipped like any unreadable one.
        const auto usable = [](double value) { return std::abs(value) <= 1e9; };
        if (!usable(time) || !std::all_of(std::begin(angles), std::end(angles), usable)) {
            continue;
        }
        Pose pose;
        std::int32_t* axes[3] = {&pose.yaw, &pose.pitch, &pose.roll};
        for (int axis = 0; axis < 3; ++axis) {
            *axes[axis] =
                rawUnits ? WrapRaw(std::llround(angles[axis])) : DegreesToRaw(angles[axis]);
        }
        rows_.push_back({time, pose});
    }
    std::stable_sort(rows_.begin(), rows_.end(),
                     [](const Row& a, const Row& b) { return a.time < b.time; });
    if (rows_.size() > 1) {
        // Loop one average step after the last row, so it is held as long as the others.
        const double span = rows_.back().time - rows_.front().time;
        period_ = span + span / static_cast<double>(rows_.size() - 1);
    }
    return !rows_.empty();
}

bool TraceReplay::HeaderNamesRawUnits(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string header;
    return std::getline(file, header) && header.find("_raw") != std::string::npos;
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
                                  [](double time, const Row& row) { return time < row.time; });
    return std::prev(after)->pose;
}

}  // namespace velmora::sim
