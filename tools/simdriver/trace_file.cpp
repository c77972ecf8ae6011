#include "simdriver/trace_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace velmora::sim {
namespace {

constexpr std::size_t kColumns = 4;
constexpr std::size_t kColumnsWithTruth = 7;  // and the true yaw, pitch and roll
constexpr std::string_view kVehicleMark = "# vehicle:";
// What each column of a head trace's header begins with, in order (a hand-made file may name them
// by their initials alone); with the truth, three more that name it and the axis.
constexpr std::array<std::string_view, kColumns> kColumnWords = {"time", "yaw", "pitch", "roll"};

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t comma = line.find(',');
        fields.push_back(Trimmed(line.substr(0, comma)));
        if (comma == std::string_view::npos) {
            return fields;
        }
        line.remove_prefix(comma + 1);
    }
}

// The whole field as a number; from_chars ignores the locale, as a trace must.
std::optional<double> Number(std::string_view field) {
    double value = 0.0;
    const auto [end, status] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || status != std::errc{} || end != field.data() + field.size()) {
        return std::nullopt;
    }
    return value;
}

std::string At(std::size_t line) {
    return "line " + std::to_string(line) + ": ";
}

// Why a line does not split into a time and three angles, in terms a spreadsheet user knows.
std::string WrongShape(std::string_view line, std::size_t count, std::size_t expected) {
    if (line.find(';') != std::string_view::npos) {
        return "the values are separated by ';', as a spreadsheet saves CSV where numbers take a "
               "decimal comma; write ',' between values and '.' in numbers (0.5, not 0,5)";
    }
    if (line.find('\t') != std::string_view::npos) {
        return "the values are separated by tabs; write ',' between them";
    }
    std::string reason = std::to_string(count) + (count == 1 ? " value" : " values") + ", not " +
                         std::to_string(expected) + " (time in seconds, yaw, pitch, roll" +
                         (expected == kColumns ? ")" : ", and the true yaw, pitch, roll)");
    if (count > expected) {
        reason += ": numbers with a decimal comma? write 0.5, not 0,5";
    }
    return reason;
}

// The car's name exactly as the plug-in wrote it after "# vehicle: ". A profile applies only to a
// section named byte for byte like the car, so a space at the end of a name, which keeps the
// player's section from applying, must survive the reading: only the line end and the one space
// after the colon are the format's. (The recorder writes a CR or LF in a name as a space, so a CR
// here is the line end.)
std::string VehicleName(std::string_view line) {
    line.remove_prefix(line.find(kVehicleMark) + kVehicleMark.size());
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    if (line.starts_with(' ')) {
        line.remove_prefix(1);
    }
    return std::string(line);
}

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lowered;
}

// Why a first line that is not a row is no head trace's header; nothing when it is one. Another
// program's CSV ("Lap,Speed (km/h),RPM,Gear") would otherwise be read as a trace of one reading.
std::optional<std::string> HeaderProblem(std::string_view line,
                                         const std::vector<std::string_view>& fields) {
    if (fields.size() == 1 && line.find_first_of(";\t") != std::string_view::npos) {
        return "the header: " + WrongShape(line, fields.size(), kColumns);
    }
    bool named = fields.size() == kColumns || fields.size() == kColumnsWithTruth;
    for (std::size_t i = 0; named && i < fields.size(); ++i) {
        const std::string name = Lowered(fields[i]);
        const std::string_view word = kColumnWords[i < kColumns ? i : i - 3];
        named = i < kColumns ? name.starts_with(word) || name == word.substr(0, 1)
                             : name.find("true") != std::string::npos &&
                                   name.find(word) != std::string::npos;
    }
    if (named) {
        return std::nullopt;
    }
    // Appended: GCC 12 misreads a chain of string `+` here as overlapping copies (-Wrestrict).
    std::string problem = "\"";
    problem.append(line).append(
        "\" is no head trace's header: its columns are the time in seconds, yaw, pitch and roll, "
        "as in \"time_s,yaw_deg,pitch_deg,roll_deg\" (\"_raw\" for raw tracker units)");
    return problem;
}

bool Usable(double value) {
    // A value no tracker gives (not a number, or beyond a billion units or degrees) has no
    // rounding to an int.
    return std::abs(value) <= 1e9;
}

}  // namespace

std::vector<std::pair<std::string, double>> TraceFile::VehicleSeconds() const {
    std::vector<std::pair<std::string, double>> seconds;
    auto add = [&](const std::string& name, std::size_t begin, std::size_t end) {
        if (begin >= end) {
            return;
        }
        // A stretch lasts until the next one begins.
        const double span = rows[std::min(end, rows.size() - 1)].time - rows[begin].time;
        const auto found = std::find_if(seconds.begin(), seconds.end(),
                                        [&](const auto& entry) { return entry.first == name; });
        if (found == seconds.end()) {
            seconds.emplace_back(name, span);
        } else {
            found->second += span;
        }
    };
    add("", 0, vehicles.empty() ? rows.size() : vehicles.front().firstRow);
    for (std::size_t i = 0; i < vehicles.size(); ++i) {
        add(vehicles[i].name, vehicles[i].firstRow,
            i + 1 < vehicles.size() ? vehicles[i + 1].firstRow : rows.size());
    }
    return seconds;
}

std::optional<TraceFile> ParseTrace(std::string_view text, TraceUnits units, std::string& error) {
    TraceFile trace;
    trace.rawUnits = units == TraceUnits::Raw;
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);  // a spreadsheet's "CSV UTF-8" begins with a byte-order mark
    }
    bool headerSeen = false;
    // Seven values a row only under a header of seven names: without one, seven values are more
    // likely four numbers written with decimal commas.
    std::size_t columns = kColumns;
    std::size_t number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const bool lastLineCut = end == std::string_view::npos;
        const std::string_view written = text.substr(0, end);
        const std::string_view line = Trimmed(written);
        text.remove_prefix(lastLineCut ? text.size() : end + 1);
        ++number;
        if (line.empty()) {
            continue;
        }
        if (lastLineCut) {
            trace.cutLastLine = number;
            break;
        }
        if (line.front() == '#') {
            if (line.starts_with(kVehicleMark)) {
                trace.vehicles.push_back({trace.rows.size(), VehicleName(written)});
            }
            continue;
        }
        const std::vector<std::string_view> fields = Fields(line);
        if (!headerSeen) {
            headerSeen = true;
            // A first line that begins with a number is a row: a file without a header loses none.
            if (!Number(fields.front())) {
                if (const auto problem = HeaderProblem(line, fields)) {
                    error = At(number) + *problem;
                    return std::nullopt;
                }
                columns = fields.size();
                if (units == TraceUnits::FromHeader) {
                    trace.rawUnits = line.find("_raw") != std::string_view::npos;
                }
                continue;
            }
        }
        double values[kColumnsWithTruth] = {};
        bool numbers = fields.size() == columns;
        for (std::size_t i = 0; numbers && i < columns; ++i) {
            const auto value = Number(fields[i]);
            numbers = value.has_value();
            values[i] = value.value_or(0.0);
        }
        if (!numbers) {
            if (fields.size() != columns) {
                error = At(number) + WrongShape(line, fields.size(), columns);
            } else {
                const auto bad = std::find_if(fields.begin(), fields.end(),
                                              [](std::string_view f) { return !Number(f); });
                error = At(number) + "\"" + std::string(*bad) + "\" is not a number";
            }
            return std::nullopt;
        }
        if (!std::all_of(values, values + columns, Usable)) {
            if (trace.skippedRows++ == 0) {
                trace.firstSkippedLine = number;
            }
            continue;
        }
        if (!trace.rows.empty() && values[0] < trace.rows.back().time) {
            std::ostringstream reason;
            reason << At(number) << "the time goes back, to " << values[0] << " s after "
                   << trace.rows.back().time << " s: a trace must run forward in time";
            error = reason.str();
            return std::nullopt;
        }
        Pose pose;
        std::int32_t* axes[3] = {&pose.yaw, &pose.pitch, &pose.roll};
        for (int axis = 0; axis < 3; ++axis) {
            *axes[axis] = trace.rawUnits ? WrapRaw(std::llround(values[axis + 1]))
                                         : DegreesToRaw(values[axis + 1]);
        }
        TraceRow row{values[0], pose, std::nullopt};
        if (columns == kColumnsWithTruth) {
            row.truth = PoseDegrees{values[4], values[5], values[6]};
        }
        trace.rows.push_back(row);
    }
    if (trace.rows.empty()) {
        error = "no row with a time and three angles";
        if (trace.cutLastLine != 0) {
            error += " (line " + std::to_string(trace.cutLastLine) +
                     ", the last, has no line end: left out as cut short)";
        }
        return std::nullopt;
    }
    return trace;
}

std::optional<TraceFile> ReadTraceFile(const std::string& path, TraceUnits units,
                                       std::string& error) {
    // Windows refuses to open a folder as "permission denied", which reads as a matter of
    // administrator rights.
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        error = "cannot read " + path + ": it is a folder; a trace is a file (.csv)";
        return std::nullopt;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::string bytes;
    char chunk[65536];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) != 0;) {
        bytes.append(chunk, got);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    auto trace = ParseTrace(bytes, units, error);
    if (!trace) {
        error = path + ": " + error;
    }
    return trace;
}

}  // namespace velmora::sim
