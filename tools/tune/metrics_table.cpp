#include "metrics_table.h"

#include <algorithm>
#include <cmath>

#include "report_text.h"

namespace velmora::tune {
namespace {

std::string Optional(const std::optional<double>& value, const char* format) {
    return value ? FormatNumber(format, *value) : "-";
}

std::string JoinCsv(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i != 0) {
            line += ',';
        }
        line += CsvCell(cells[i]);
    }
    return line + "\n";
}

}  // namespace

std::string CsvCell(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') {
            quoted += '"';
        }
        quoted += c;
    }
    return quoted + "\"";
}

MetricsTable MetricsTable::Empty() {
    MetricsTable table;
    table.header = {"profile",          "axis",          "jitter_at_rest_deg",
                    "lag_in_motion_ms", "overshoot_deg", "largest_steps_deg",
                    "still_s",          "moving_s"};
    return table;
}

void MetricsTable::Add(const std::string& label, std::size_t axis, const AxisMetrics& m) {
    rows.push_back({label, kAxisNames[axis], Optional(m.jitterDegrees, "%.3f"),
                    Optional(m.lagMilliseconds, "%.0f"), FormatNumber("%.2f", m.overshootDegrees),
                    FormatNumber("%.2f", m.largestStepsDegrees),
                    FormatNumber("%.1f", m.stillSeconds), FormatNumber("%.1f", m.movingSeconds)});
}

MetricsTable MetricsTable::From(const TuningRun& run) {
    MetricsTable table = Empty();
    for (const ProfileResult& profile : run.profiles) {
        for (std::size_t axis = 0; axis < 3; ++axis) {
            table.Add(profile.choice.label, axis, profile.metrics[axis]);
        }
    }
    return table;
}

std::string MetricsTable::AsText() const {
    std::vector<std::size_t> widths(header.size());
    for (std::size_t c = 0; c < header.size(); ++c) {
        widths[c] = header[c].size();
        for (const auto& row : rows) {
            widths[c] = std::max(widths[c], row[c].size());
        }
    }
    auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            // Names to the left, numbers to the right.
            const std::string pad(widths[c] - cells[c].size(), ' ');
            if (c != 0) {
                text += "  ";
            }
            text += c < 2 ? cells[c] + pad : pad + cells[c];
        }
        return text + "\n";
    };
    std::string text = line(header);
    for (const auto& row : rows) {
        text += line(row);
    }
    return text;
}

std::string MetricsTable::AsCsv() const {
    std::string csv = JoinCsv(header);
    for (const auto& row : rows) {
        csv += JoinCsv(row);
    }
    return csv;
}

std::string SeriesCsv(const TuningRun& run) {
    std::vector<std::string> header = {"time_s", "yaw_in_deg", "pitch_in_deg", "roll_in_deg"};
    for (const ProfileResult& profile : run.profiles) {
        for (const char* axis : kAxisNames) {
            header.push_back(profile.choice.label + " " + axis + " out_deg");
        }
        for (const char* control : kControlNames) {
            header.push_back(profile.choice.label + " " + control);
        }
    }
    std::string csv = JoinCsv(header);
    for (std::size_t i = 0; i < run.trace.readings.size(); ++i) {
        std::vector<std::string> cells = {FormatNumber("%.2f", run.trace.Seconds(i))};
        for (const auto& input : run.inputDegrees) {
            cells.push_back(FormatNumber("%.4f", input[i]));
        }
        for (const ProfileResult& profile : run.profiles) {
            for (const auto& output : profile.outputDegrees) {
                cells.push_back(FormatNumber("%.4f", output[i]));
            }
            // Nine digits give back the very float the control answered; empty: no answer.
            for (float value : profile.controls[i]) {
                cells.push_back(std::isnan(value) ? "" : FormatNumber("%.9g", value));
            }
        }
        csv += JoinCsv(cells);
    }
    return csv;
}

}  // namespace velmora::tune
