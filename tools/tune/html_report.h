#pragma once

#include <optional>
#include <string>

#include "tuning_run.h"

namespace velmora::tune {

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
