#pragma once

#include <string>
#include <vector>

#include "tune/motion_stretches.h"

namespace velmora::tune {

struct PlotSeries {
    const std::vector<double>* values;  // one per 10 ms reading
    std::string colour;
    double width;
    double opacity = 1.0;
};

// One axis over a span of the trace as an inline SVG: the rests and the movements shaded behind
// the series, time along the bottom, degrees up the side. Each series is drawn as its lowest and
// highest value per pixel column, so a long trace stays a small file and no shake is hidden; the
// series are drawn in order, the last on top.
struct SvgPlot {
    std::string title;
    std::size_t firstReading = 0;
    std::size_t endReading = 0;
    double pollSeconds = 0.01;
    int width = 1100;
    int height = 260;
    std::vector<PlotSeries> series;
    const MotionStretches* stretches = nullptr;
    // Values drawn as headings, labelled -180° to 180°: the filter's stored yaw runs on past a half
    // turn, which no one reads as a heading. The seam lies behind the driver, at ±180°, unless the
    // span keeps within a quarter turn of its mean heading: then opposite it, so that a head
    // resting near ±180° stays one line. A line that crosses the seam is broken there.
    bool wrapDegrees = false;

    std::string Render() const;
};

inline constexpr char kStillColour[] = "#d9efd5";
inline constexpr char kMovingColour[] = "#fbe3cf";
inline constexpr char kLeftOutColour[] = "#b8b8b8";

}  // namespace velmora::tune
