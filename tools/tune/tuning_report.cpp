#include "tune/tuning_report.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "tune/svg_plot.h"

namespace velmora::tune {

void Add(std::string& out, std::initializer_list<std::string_view> parts) {
    for (std::string_view part : parts) {
        out.append(part);
    }
}

std::string EscapeMarkup(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '&':
                escaped += "&amp;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string FormatNumber(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

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

constexpr std::array<const char*, 6> kProfileColours = {"#1f6fd1", "#d62728", "#2a9d3a",
                                                        "#8e44ad", "#e67e00", "#00a3a3"};

constexpr char kStyle[] = R"(body { font-family: sans-serif; margin: 24px; color: #222; }
h1 { font-size: 22px; } h2 { font-size: 18px; margin-top: 28px; }
table { border-collapse: collapse; margin: 12px 0; }
th, td { border: 1px solid #ccc; padding: 4px 8px; font-size: 13px; }
td.number { text-align: right; font-variant-numeric: tabular-nums; }
.legend { display: flex; flex-wrap: wrap; gap: 4px 18px; margin: 8px 0; font-size: 14px; }
.key { white-space: nowrap; }
.swatch { display: inline-block; width: 18px; height: 10px; margin-right: 5px; }
.line { height: 3px; vertical-align: middle; }
svg { display: block; margin: 6px 0; }
svg .title { font-size: 13px; font-weight: bold; }
svg .grid { stroke: #d0d0d0; stroke-width: 0.6; }
svg .frame { fill: none; stroke: #888; stroke-width: 0.8; }
svg .ylabel { font-size: 11px; text-anchor: end; dominant-baseline: middle; }
svg .xlabel { font-size: 11px; text-anchor: middle; }
p.note, ul.note { font-size: 13px; color: #555; max-width: 1100px; }
)";

std::string Swatch(const std::string& colour, bool line, const std::string& label) {
    std::string key;
    Add(key, {"<span class=\"key\"><span class=\"swatch", line ? " line" : "",
              "\" style=\"background:", colour, "\"></span>", EscapeMarkup(label), "</span>"});
    return key;
}

std::size_t DetailStart(const TuningRun& run, const ReportOptions& options) {
    if (options.detailStartSeconds) {
        return static_cast<std::size_t>(std::max(*options.detailStartSeconds, 0.0) /
                                        run.trace.pollSeconds);
    }
    const auto& rests = run.stretches[0].still;
    const auto longest = std::max_element(rests.begin(), rests.end(),
                                          [](auto& a, auto& b) { return a.Length() < b.Length(); });
    constexpr std::size_t kLeadIn = 300;  // 3 s of the movement before the rest
    if (longest == rests.end() || longest->begin < kLeadIn) {
        return 0;
    }
    return longest->begin - kLeadIn;
}

std::string MetricsHtml(const TuningRun& run) {
    const MetricsTable table = MetricsTable::From(run);
    const std::array<const char*, 11> headings = {
        "Profile",           "Axis",        "Rest error (°)",   "Trail (°)",
        "Shake (°)",         "Lag (ms)",    "Onset delay (ms)", "Outlier response (°)",
        "Largest steps (°)", "At rest (s)", "Moving (s)"};
    std::string html = "<table id=\"metrics\"><tr>";
    for (const char* heading : headings) {
        html += std::string("<th>") + heading + "</th>";
    }
    html += "</tr>\n";
    for (const auto& row : table.rows) {
        html += "<tr>";
        for (std::size_t c = 0; c < headings.size(); ++c) {
            html += (c < 2 ? "<td>" : "<td class=\"number\">") + EscapeMarkup(row[c]) + "</td>";
        }
        html += "</tr>\n";
    }
    return html + "</table>\n";
}

constexpr char kMetricsNote[] =
    "Rest error: how far the camera sits from the head while the head rests (shaded green), "
    "split into its trail, the slow offset a camera keeps behind a drifting head, and its shake, "
    "what remains. Lag: the camera's error while the head moves (shaded orange) over the head's "
    "speed there: a camera that trails by a fixed delay measures as that delay, one that holds "
    "still and then jumps as the delay that costs as much. Onset delay: how long the camera takes "
    "to follow the first 2° of a glance (the median). Outlier response: how far one outlying "
    "reading moves the camera at rest. Largest steps: the mean of the largest thousandth of the "
    "camera's jumps from one reading to the next, which shows a camera that holds and then "
    "jumps. Where the trace turns a whole circle (shaded grey) the filter jumps back by a turn; no "
    "driver's head does that, so those readings count in no metric (nor do those where a trace "
    "cut to one car joins its stretches). Yaw is drawn as a heading, -180° to 180°.";

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
    table.header = {"profile",           "axis",   "rest_error_deg", "trail_deg",
                    "shake_deg",         "lag_ms", "onset_ms",       "outlier_deg",
                    "largest_steps_deg", "rest_s", "moving_s"};
    return table;
}

void MetricsTable::Add(const std::string& label, std::size_t axis, const AxisMetrics& m) {
    const HeadMetrics& h = m.head;
    rows.push_back(
        {label, kAxisNames[axis], Optional(h.restErrorDegrees, "%.3f"),
         Optional(h.trailDegrees, "%.3f"), Optional(h.shakeDegrees, "%.3f"),
         Optional(h.effectiveLagMilliseconds, "%.0f"), Optional(h.onsetDelayMilliseconds, "%.0f"),
         Optional(h.spikeResponseDegrees, "%.2f"), FormatNumber("%.2f", m.largestStepsDegrees),
         FormatNumber("%.1f", m.restSeconds), FormatNumber("%.1f", m.movingSeconds)});
}

std::string TrackerText(const std::array<AxisHead, 3>& heads) {
    std::string text =
        heads[0].againstTruth
            ? "Measured against the head's true pose, which the trace carries.\n"
            : Wrapped(
                  "Measured against the head as the readings show it: smoothed looking ahead "
                  "as far as back, so that it does not lag. The tracker:");
    for (std::size_t axis = 0; axis < 3; ++axis) {
        text += Wrapped(TrackerSentence(kAxisNames[axis], heads[axis].tracker), 2);
    }
    return text;
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
    // Each profile's label on a line of its own above its axes: a label is a file and a car, as
    // long as they are, and beside the numbers it would push the table past a terminal's width.
    std::array<std::size_t, kTextHeadings.size()> widths{};
    for (std::size_t c = 0; c < widths.size(); ++c) {
        widths[c] = std::max(kTextHeadings[c].size(), kTextUnits[c].size());
        for (const auto& row : rows) {
            widths[c] = std::max(widths[c], c == 0 ? 2 + row[1].size() : row[c + 1].size());
        }
    }
    auto line = [&](const std::array<std::string_view, kTextHeadings.size()>& cells) {
        std::string text;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            // Names to the left, numbers to the right.
            const std::string pad(widths[c] - cells[c].size(), ' ');
            tune::Add(text, {c == 0 ? "" : "  ", c == 0 ? cells[c] : pad, c == 0 ? pad : cells[c]});
        }
        return text.substr(0, text.find_last_not_of(' ') + 1) + "\n";
    };
    std::string text = line(kTextHeadings) + line(kTextUnits);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto& row = rows[r];
        if (r == 0 || rows[r - 1][0] != row[0]) {
            text += row[0] + "\n";
        }
        const std::string axis = "  " + row[1];
        std::array<std::string_view, kTextHeadings.size()> cells;
        cells[0] = axis;
        for (std::size_t c = 1; c < cells.size(); ++c) {
            cells[c] = row[c + 1];
        }
        text += line(cells);
    }
    return text;
}

std::string Wrapped(std::string_view text, std::size_t indent) {
    std::string wrapped;
    std::size_t column = 0;  // 0: nothing on the line yet
    while (!text.empty()) {
        const std::size_t space = text.find(' ');
        const std::string_view word = text.substr(0, space);
        text.remove_prefix(space == std::string_view::npos ? text.size() : space + 1);
        // Columns, not bytes: a degree sign takes two bytes and one column.
        const auto width = static_cast<std::size_t>(
            std::count_if(word.begin(), word.end(), [](char c) { return (c & 0xC0) != 0x80; }));
        if (column != 0 && column + 1 + width > kTextWidth) {
            wrapped.append(1, '\n').append(indent, ' ');
            column = indent;
        } else if (column != 0) {
            wrapped += ' ';
            ++column;
        }
        wrapped += word;
        column += width;
    }
    return wrapped + "\n";
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

const char* ProfileColour(std::size_t index) {
    return kProfileColours[index % kProfileColours.size()];
}

std::string HtmlReport(const TuningRun& run, const ReportOptions& options) {
    const std::size_t readings = run.trace.readings.size();
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n<title>" +
        EscapeMarkup(options.title) + "</title>\n<style>\n" + kStyle +
        "</style></head><body>\n<h1>" + EscapeMarkup(options.title) + "</h1>\n";
    char summary[160];
    std::snprintf(summary, sizeof summary, "%.1f s, %zu readings at %.0f per second",
                  run.trace.Duration(), readings, 1.0 / run.trace.pollSeconds);
    Add(html, {"<p>Trace <b>", EscapeMarkup(options.traceName), "</b>: ", summary,
               ".</p>\n<div class=\"legend\">", Swatch(kInputColour, true, "head (the trace)")});
    for (std::size_t i = 0; i < run.profiles.size(); ++i) {
        const ProfileResult& profile = run.profiles[i];
        html += Swatch(ProfileColour(i), true,
                       profile.choice.label + (profile.filtered ? "" : " (no smoothing)"));
    }
    Add(html, {"</div>\n<div class=\"legend\">", Swatch(kStillColour, false, "head at rest"),
               Swatch(kMovingColour, false, "head moving"),
               Swatch(kLeftOutColour, false, "left out: a full turn"), "</div>\n"});
    html += MetricsHtml(run);
    Add(html, {"<p class=\"note\">", kMetricsNote, "</p>\n<p class=\"note\">",
               run.heads[0].againstTruth
                   ? "Measured against the head's true pose, which the trace carries."
                   : "Measured against the head as the readings show it: smoothed looking ahead "
                     "as far as back, so that it does not lag.",
               "</p>\n<ul class=\"note\">"});
    for (std::size_t axis = 0; axis < 3; ++axis) {
        Add(html, {"<li>", EscapeMarkup(TrackerSentence(kAxisNames[axis], run.heads[axis].tracker)),
                   "</li>\n"});
    }
    html += "</ul>\n";

    const std::size_t detailBegin = std::min(DetailStart(run, options), readings);
    const std::size_t detailEnd = std::min(
        readings,
        detailBegin + static_cast<std::size_t>(options.detailSeconds / run.trace.pollSeconds));
    for (std::size_t axis = 0; axis < 3; ++axis) {
        html += std::string("<h2>") + kAxisNames[axis] + "</h2>\n<div class=\"axis\" id=\"" +
                kAxisNames[axis] + "\">\n";
        SvgPlot plot;
        plot.pollSeconds = run.trace.pollSeconds;
        plot.stretches = &run.stretches[axis];
        plot.wrapDegrees = axis == 0;
        // A profile without smoothing is the head itself: drawn first and wide, it shows as a
        // band around the head's line and hides no other profile.
        for (std::size_t i = 0; i < run.profiles.size(); ++i) {
            if (!run.profiles[i].filtered) {
                plot.series.push_back(
                    {&run.profiles[i].outputDegrees[axis], ProfileColour(i), 5.0, 0.4});
            }
        }
        double width = 2.8;
        for (std::size_t i = 0; i < run.profiles.size(); ++i) {
            if (run.profiles[i].filtered) {
                // Each later profile narrower, so that where two agree both colours still show.
                plot.series.push_back(
                    {&run.profiles[i].outputDegrees[axis], ProfileColour(i), width});
                width = std::max(width - 0.8, 1.0);
            }
        }
        // The head last and thin: always in sight, hiding little of any profile.
        plot.series.push_back({&run.inputDegrees[axis], kInputColour, 1.2});
        plot.title = std::string(kAxisNames[axis]) + ", the whole trace (degrees)";
        plot.firstReading = 0;
        plot.endReading = readings;
        html += plot.Render();
        char close[96];
        std::snprintf(close, sizeof close, ", close up: %.1f s to %.1f s (degrees)",
                      run.trace.Seconds(detailBegin), run.trace.Seconds(detailEnd));
        plot.title = kAxisNames[axis] + std::string(close);
        plot.firstReading = detailBegin;
        plot.endReading = detailEnd;
        html += plot.Render() + "</div>\n";
    }
    return html + "</body></html>\n";
}

}  // namespace velmora::tune
