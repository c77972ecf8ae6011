#pragma once

#include <string>
#include <vector>

#include "tuning_run.h"

namespace velmora::tune {

// The metrics of every profile and axis as rows of text cells, for the console, the CSV file and
// the HTML report alike.
struct MetricsTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;

    static MetricsTable From(const TuningRun& run);
    // The header alone, for rows added one by one.
    static MetricsTable Empty();
    void Add(const std::string& label, std::size_t axis, const AxisMetrics& metrics);

    std::string AsText() const;
    std::string AsCsv() const;
};

// Every reading: the input, then each profile's outputs and the nine controls' answers.
std::string SeriesCsv(const TuningRun& run);

// A CSV cell: quoted when it holds a separator, a quote or a line break.
std::string CsvCell(const std::string& text);

}  // namespace velmora::tune
