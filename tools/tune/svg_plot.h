#pragma once

#include <string>
#include <vector>

#include "motion_stretches.h"

namespace velmora::tune {

struct PlotSeries {
    const std::vector<double>* values;  // one per 10 ms reading
    std::string colour;
    double width;
};

// One axis over a span of the trace as an inline SVG: the rests and the movements shaded behind
// the series, time along the bottom, degrees up the side. Each series is drawn as its lowest and
// highest value per pixel column, so a long trace stays a small file and no shake is hidden.
struct SvgPlot {
    std::string title;
    std::size_t firstReading = 0;
    std::size_t endReading = 0;
    int width = 1100;
    int height = 260;
    std::vector<PlotSeries> series;
    const MotionStretches* stretches = nullptr;

    std::string Render() const;
};

inline constexpr char kStillColour[] = "#d9efd5";
inline constexpr char kMovingColour[] = "#fbe3cf";
inline constexpr char kFullTurnColour[] = "#e4e4e4";

}  // namespace velmora::tune
