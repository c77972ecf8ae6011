#pragma once

#include <array>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tune/profile_replay.h"

// What velmora-tune shows: the metrics as a text table and as CSV, every reading as CSV, and the
// self-contained HTML report with its plots.
namespace velmora::tune {

// Appends the parts in order. Markup is built by appending: GCC 12 misreads long chains of string
// `+` as overlapping copies (-Wrestrict), and appending copies less anyway.
void Add(std::string& out, std::initializer_list<std::string_view> parts);

// Text made safe inside an element or a quoted attribute.
std::string EscapeMarkup(const std::string& text);

// One number by a printf format that takes one double ("%.2f", "%g s").
std::string FormatNumber(const char* format, double value);

// Everything velmora-tune prints fits a terminal this wide, as a Windows console opens.
inline constexpr std::size_t kTextWidth = 100;

// `text` as lines of kTextWidth columns at most, broken between words, each line after the first
// indented by `indent`; a word longer than a line (a path) stands alone on its line.
std::string Wrapped(std::string_view text, std::size_t indent = 0);

// The columns of the text table after the profile's label: the axis, then the metrics.
inline constexpr std::array<std::string_view, 10> kTextHeadings = {
    "profile / axis", "rest error", "trail", "shake",   "lag",
    "onset",          "outlier",    "steps", "at rest", "moving"};
inline constexpr std::array<std::string_view, 10> kTextUnits = {"",   "deg", "deg", "deg", "ms",
                                                                "ms", "deg", "deg", "s",   "s"};

// The metrics of every profile and axis as rows of text cells, for the console, the CSV file and
// the HTML report alike.
struct MetricsTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;

    static MetricsTable From(const TuningRun& run);
    // The header alone, for rows added one by one.
    static MetricsTable Empty();
    void Add(const std::string& label, std::size_t axis, const AxisMetrics& metrics);

    // A table for the terminal, each profile above its axes; the CSV keeps one row per axis.
    std::string AsText() const;
    std::string AsCsv() const;
};

// What the metrics are taken against, and what the tracker does on each axis, in lines of text.
std::string TrackerText(const std::array<AxisHead, 3>& heads);

// Every reading: the input, then each profile's outputs and the nine controls' answers.
std::string SeriesCsv(const TuningRun& run);

// A CSV cell: quoted when it holds a separator, a quote or a line break.
std::string CsvCell(const std::string& text);

struct ReportOptions {
    std::string title = "Velmora tuning bench";
    std::string traceName;
    // Where the close-up of each axis begins; by default a little before the longest rest of the
    // yaw, where both the settling and the shake show.
    std::optional<double> detailStartSeconds;
    double detailSeconds = 10.0;
};

// A self-contained HTML page: inline SVG and CSS, nothing fetched, so it opens anywhere.
std::string HtmlReport(const TuningRun& run, const ReportOptions& options);

// The colour each profile is drawn in, in the order given.
const char* ProfileColour(std::size_t index);
inline constexpr char kInputColour[] = "#4d4d4d";

}  // namespace velmora::tune
