#include "tune/front_table.h"

#include <cstdio>
#include <optional>

namespace velmora::tune {
namespace {

constexpr int kColumn = 32;

std::string Figure(const std::optional<double>& value, const char* format) {
    if (!value) {
        return "-";
    }
    char text[32];
    std::snprintf(text, sizeof text, format, *value);
    return text;
}

std::string Padded(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

}  // namespace

std::string FrontTable(const std::vector<NamedFront>& fronts) {
    std::string table = "  " + Padded("budget", 8);
    for (const NamedFront& named : fronts) {
        table += Padded(named.name, kColumn);
    }
    table += "\n";
    for (std::size_t b = 0; b < kLagBudgetsMilliseconds.size(); ++b) {
        table += "  " + Padded(Figure(kLagBudgetsMilliseconds[b], "%.0f ms"), 8);
        for (const NamedFront& named : fronts) {
            const auto& best = named.front->best[b];
            table += Padded(best ? Figure(best->metrics.restErrorDegrees, "%.4f") + " (" +
                                       Figure(best->metrics.effectiveLagMilliseconds, "%.1f") +
                                       " ms, onset " +
                                       Figure(best->metrics.onsetDelayMilliseconds, "%.0f") + ")"
                                 : "-",
                            kColumn);
        }
        table += "\n";
    }
    for (const NamedFront& named : fronts) {
        std::string last;
        for (std::size_t b = 0; b < kLagBudgetsMilliseconds.size(); ++b) {
            const auto& best = named.front->best[b];
            const std::string setting = best ? SettingText(*named.keys, best->setting) : "";
            if (!setting.empty() && setting != last) {
                table += "    " + named.name + Figure(kLagBudgetsMilliseconds[b], " at %.0f ms: ") +
                         setting + "\n";
            }
            last = setting;
        }
    }
    return table;
}

std::string PointLine(const std::string& name, const HeadMetrics& metrics,
                      const std::string& setting) {
    return "  " + Padded(name, 10) + " rest " + Figure(metrics.restErrorDegrees, "%.4f") +
           " (trail " + Figure(metrics.trailDegrees, "%.4f") + ", shake " +
           Figure(metrics.shakeDegrees, "%.4f") + "), lag " +
           Figure(metrics.effectiveLagMilliseconds, "%.1f") + " ms, onset " +
           Figure(metrics.onsetDelayMilliseconds, "%.0f") + " ms, outlier " +
           Figure(metrics.spikeResponseDegrees, "%.3f") + "°: " + setting + "\n";
}

}  // namespace velmora::tune
