#include "tune/svg_plot.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

#include "tune/polled_trace.h"
#include "tune/tuning_report.h"

namespace velmora::tune {
namespace {

constexpr int kLeft = 56;
constexpr int kRight = 12;
constexpr int kTop = 26;
constexpr int kBottom = 30;

// 1, 2 or 5 times a power of ten, giving about `count` steps over `span`.
double NiceStep(double span, int count) {
    const double rough = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough) {
            return factor * power;
        }
    }
    return 10.0 * power;
}

}  // namespace

std::string SvgPlot::Render() const {
    const std::size_t end = std::max(endReading, firstReading + 2);
    const int plotWidth = width - kLeft - kRight;
    const int plotHeight = height - kTop - kBottom;
    const std::string left = std::to_string(kLeft);
    const std::string right = std::to_string(width - kRight);
    const std::string top = std::to_string(kTop);
    const std::string bottom = std::to_string(kTop + plotHeight);
    const std::string tall = std::to_string(plotHeight);

    double centre = 0.0;
    if (wrapDegrees) {
        double sine = 0.0;
        double cosine = 0.0;
        for (const PlotSeries& s : series) {
            for (std::size_t i = firstReading; i < std::min(end, s.values->size()); ++i) {
                sine += std::sin((*s.values)[i] * std::numbers::pi / 180.0);
                cosine += std::cos((*s.values)[i] * std::numbers::pi / 180.0);
            }
        }
        centre = std::atan2(sine, cosine) * 180.0 / std::numbers::pi;
    }
    auto shown = [&](double degrees) {
        return wrapDegrees ? degrees - 360.0 * std::round((degrees - centre) / 360.0) : degrees;
    };
    // Straight ahead in the middle, unless the span keeps within a quarter turn of its mean.
    for (const PlotSeries& s : series) {
        for (std::size_t i = firstReading; i < std::min(end, s.values->size()); ++i) {
            if (std::abs(shown((*s.values)[i]) - centre) > 90.0) {
                centre = 0.0;
                break;
            }
        }
    }
    auto label = [&](double degrees) {
        return wrapDegrees ? degrees - 360.0 * std::round(degrees / 360.0) : degrees;
    };
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const PlotSeries& s : series) {
        for (std::size_t i = firstReading; i < std::min(end, s.values->size()); ++i) {
            low = std::min(low, shown((*s.values)[i]));
            high = std::max(high, shown((*s.values)[i]));
        }
    }
    if (!(low <= high)) {
        low = -1.0;
        high = 1.0;
    }
    const double margin = std::max((high - low) * 0.05, 0.5);
    low -= margin;
    high += margin;

    const double span = static_cast<double>(end - firstReading);
    auto x = [&](double reading) {
        return kLeft + (reading - static_cast<double>(firstReading)) / span * plotWidth;
    };
    auto y = [&](double degrees) { return kTop + (high - degrees) / (high - low) * plotHeight; };

    std::string svg;
    const std::string w = std::to_string(width);
    const std::string h = std::to_string(height);
    Add(svg, {"<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"", w, "\" height=\"", h,
              "\" viewBox=\"0 0 ", w, " ", h, "\">\n<rect x=\"0\" y=\"0\" width=\"", w,
              "\" height=\"", h, "\" fill=\"#ffffff\"/>\n<text x=\"", left,
              "\" y=\"17\" class=\"title\">", EscapeMarkup(title), "</text>\n"});

    if (stretches != nullptr) {
        // Left-out stretches last and never thinner than a few pixels: a full turn lasts half a
        // second, a fraction of a pixel column in a long trace.
        auto shade = [&](const std::vector<Stretch>& runs, std::string_view colour,
                         double narrowest) {
            for (const Stretch& run : runs) {
                const std::size_t from = std::max(run.begin, firstReading);
                const std::size_t to = std::min(run.end, end);
                if (from < to) {
                    const double wide = std::max(x(to) - x(from), narrowest);
                    Add(svg, {"<rect x=\"", FormatNumber("%.1f", (x(from) + x(to) - wide) / 2),
                              "\" y=\"", top, "\" width=\"", FormatNumber("%.1f", wide),
                              "\" height=\"", tall, "\" fill=\"", colour, "\"/>\n"});
                }
            }
        };
        shade(stretches->still, kStillColour, 0.5);
        shade(stretches->moving, kMovingColour, 0.5);
        shade(stretches->leftOut, kLeftOutColour, 6.0);
    }

    const double yStep = NiceStep(high - low, 5);
    for (double value = std::ceil(low / yStep) * yStep; value <= high; value += yStep) {
        const std::string at = FormatNumber("%.1f", y(value));
        const double heading = label(std::abs(value) < yStep / 2 ? 0.0 : value);
        Add(svg, {"<line x1=\"", left, "\" x2=\"", right, "\" y1=\"", at, "\" y2=\"", at,
                  "\" class=\"grid\"/>\n<text x=\"", std::to_string(kLeft - 6), "\" y=\"", at,
                  "\" class=\"ylabel\">", FormatNumber("%g", heading), "°</text>\n"});
    }
    const double seconds = span * pollSeconds;
    const double xStep = NiceStep(seconds, 10);
    const double firstSecond = static_cast<double>(firstReading) * pollSeconds;
    for (double t = std::ceil(firstSecond / xStep) * xStep; t <= firstSecond + seconds;
         t += xStep) {
        const std::string at = FormatNumber("%.1f", x(t / pollSeconds));
        Add(svg, {"<line x1=\"", at, "\" x2=\"", at, "\" y1=\"", top, "\" y2=\"", bottom,
                  "\" class=\"grid\"/>\n<text x=\"", at, "\" y=\"", std::to_string(height - 10),
                  "\" class=\"xlabel\">", FormatNumber("%g s", t), "</text>\n"});
    }
    Add(svg, {"<rect x=\"", left, "\" y=\"", top, "\" width=\"", std::to_string(plotWidth),
              "\" height=\"", tall, "\" class=\"frame\"/>\n"});

    for (const PlotSeries& s : series) {
        std::string opening;
        Add(opening, {"<polyline fill=\"none\" stroke=\"", s.colour, "\" stroke-width=\"",
                      FormatNumber("%g", s.width), "\" stroke-opacity=\"",
                      FormatNumber("%g", s.opacity), "\" stroke-linejoin=\"round\" points=\""});
        svg += opening;
        std::optional<double> previous;
        auto point = [&](std::size_t reading, double degrees) {
            const double value = shown(degrees);
            if (previous && std::abs(value - *previous) > 180.0) {
                Add(svg, {"\"/>\n", opening});  // across the seam: a new line on the other side
            }
            previous = value;
            Add(svg, {FormatNumber("%.1f", x(static_cast<double>(reading))), ",",
                      FormatNumber("%.1f", y(value)), " "});
        };
        const std::size_t last = std::min(end, s.values->size());
        std::size_t i = firstReading;
        for (int column = 0; column < plotWidth && i < last; ++column) {
            const auto columnEnd = std::min(
                last, firstReading +
                          static_cast<std::size_t>(std::ceil((column + 1) * span / plotWidth)));
            if (columnEnd <= i) {
                continue;
            }
            const auto from = s.values->begin() + static_cast<std::ptrdiff_t>(i);
            const auto to = s.values->begin() + static_cast<std::ptrdiff_t>(columnEnd);
            const auto [lowest, highest] = std::minmax_element(
                from, to, [&](double a, double b) { return shown(a) < shown(b); });
            // In time order, so the line does not double back on itself.
            const bool lowFirst = lowest < highest;
            for (auto at : {lowFirst ? lowest : highest, lowFirst ? highest : lowest}) {
                point(static_cast<std::size_t>(at - s.values->begin()), *at);
            }
            i = columnEnd;
        }
        svg += "\"/>\n";
    }
    svg += "</svg>\n";
    return svg;
}

}  // namespace velmora::tune
