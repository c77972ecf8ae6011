#include "check/check_report.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "config/settings_keys.h"
#include "config/shown_name.h"

namespace velmora::check {
namespace {

void PrintFindings(std::FILE* out, const std::string& name, const std::string& path,
                   const std::vector<Finding>& findings) {
    std::fprintf(out, "%s: %s\n", name.c_str(), path.c_str());
    if (findings.empty()) {
        std::fprintf(out, "  No findings: every line reads as it seems to.\n");
        return;
    }
    std::fprintf(out, "  %lu finding%s:\n", static_cast<unsigned long>(findings.size()),
                 findings.size() == 1 ? "" : "s");
    for (const Finding& finding : findings) {
        const std::string first =
            finding.line == 0 ? "  " : "  line " + std::to_string(finding.line) + ": ";
        PrintWrapped(out, first, first.size(), finding.text);
    }
}

const char* OnOff(bool on) {
    return on ? "on" : "off";
}

std::string Directions(bool first, bool second, const char* firstName, const char* secondName) {
    if (first && second) {
        return std::string(firstName) + ", " + secondName;
    }
    return first ? firstName : second ? secondName : "none";
}

// A car's name as the game gives it, in quotes, with what plain text would hide of it.
std::string CarName(const AppliedProfile& profile) {
    if (profile.car.empty()) {
        return "(any other car)";
    }
    const std::string hidden = HiddenInName(profile.car);
    return QuotedName(profile.car) + (hidden.empty() ? "" : " (" + hidden + ")");
}

void PrintProfiles(std::FILE* out, const SettingsReport& report) {
    const AppliedProfile& any = report.profiles.front();
    std::fprintf(out,
                 "\n  Switches: Use Tracker %s, TestMode %s, Use Filtering %s, Record Trace %s,\n"
                 "  SD Skipfactor %g\n",
                 OnOff(any.useTracker), OnOff(any.testMode), OnOff(any.useFiltering),
                 OnOff(any.recordTrace), static_cast<double>(any.axes[0].SDSkipfactor));
    if (!any.useFiltering) {
        std::fprintf(out,
                     "  (Use Filtering is off: no smoothing; the camera follows the tracker's raw\n"
                     "  readings.)\n");
    }
    std::fprintf(out,
                 "\n  What each car gets (sections applied in order, \"Copy From\" ones first):\n");
    const char* const axes[3] = {"yaw", "pitch", "roll"};
    const char* const ways[3][2] = {{"left", "right"}, {"up", "down"}, {"left", "right"}};
    const auto join = [](auto first, auto last) {
        std::string joined;
        for (auto section = first; section != last; ++section) {
            joined += (joined.empty() ? "" : " -> ") + Bracketed(*section);
        }
        return joined;
    };
    for (const AppliedProfile& profile : report.profiles) {
        const auto general = profile.sections.begin() + static_cast<long>(profile.generalSections);
        std::string order = general == profile.sections.begin()
                                ? "(no [" + std::string(keys::kGeneralFilter) + "] with keys)"
                                : join(profile.sections.begin(), general);
        if (!profile.car.empty()) {
            order += ", then " + join(general, profile.sections.end());
        }
        std::fprintf(out, "\n");
        PrintWrapped(out, "  " + CarName(profile) + ": ", 6, order);
        // A column for each axis key, as wide as its name.
        std::string header = "         ";
        for (const SettingKey& key : kSettingKeys) {
            if (key.place == KeyPlace::EachAxis) {
                header += "  " + std::string(key.name);
            }
        }
        std::fprintf(out, "%s  Directions\n", header.c_str());
        for (std::size_t i = 0; i < 3; ++i) {
            std::fprintf(out, "    %-5s", axes[i]);
            for (const SettingKey& key : kSettingKeys) {
                if (key.place == KeyPlace::EachAxis) {
                    const int width = static_cast<int>(std::strlen(key.name));
                    const double value = FilterField(key, profile.axes[i]);
                    if (key.type == KeyType::Float) {
                        std::fprintf(out, "  %*g", width, value);
                    } else {
                        std::fprintf(out, "  %*d", width, static_cast<int>(value));
                    }
                }
            }
            std::fprintf(out, "  %s\n",
                         Directions(profile.directions[2 * i], profile.directions[2 * i + 1],
                                    ways[i][0], ways[i][1])
                             .c_str());
        }
    }
}

}  // namespace

void PrintWrapped(std::FILE* out, const std::string& first, std::size_t indent,
                  std::string_view text) {
    constexpr std::size_t kWidth = 79;
    std::string line = first;
    while (!text.empty()) {
        const std::size_t room = kWidth > line.size() ? kWidth - line.size() : 0;
        std::size_t cut = text.size();
        if (cut > room) {
            const std::size_t space = text.rfind(' ', room);
            cut = space == std::string_view::npos || space == 0 ? text.find(' ') : space;
            cut = cut == std::string_view::npos ? text.size() : cut;
        }
        line += text.substr(0, cut);
        std::fprintf(out, "%s\n", line.c_str());
        text.remove_prefix(cut);
        while (text.starts_with(' ')) {
            text.remove_prefix(1);
        }
        line.assign(indent, ' ');
    }
}

void PrintSettingsReport(std::FILE* out, const std::string& path, const SettingsReport& report) {
    PrintFindings(out, "Velmora.cfg", path, report.findings);
    PrintProfiles(out, report);
}

void PrintBridgeReport(std::FILE* out, const std::string& path, const BridgeReport& report) {
    PrintFindings(out, "IWEARDRV.cfg", path, report.findings);
    const udp::BridgeSettings& settings = report.settings;
    std::string inverted;
    for (const auto& [name, axis] :
         {std::pair{"yaw", &settings.yaw}, std::pair{"pitch", &settings.pitch},
          std::pair{"roll", &settings.roll}}) {
        if (axis->invert) {
            inverted += (inverted.empty() ? "" : ", ") + std::string(name);
        }
    }
    char text[400];
    std::snprintf(
        text, sizeof text,
        "The bridge listens on %s, port %u; with no datagram for %u ms the tracker counts "
        "as lost. Inverted: %s. Offsets: yaw %g, pitch %g, roll %g degrees.",
        DottedAddress(settings.address).c_str(), static_cast<unsigned>(settings.port),
        static_cast<unsigned>(settings.stalenessMs), inverted.empty() ? "none" : inverted.c_str(),
        settings.yaw.offset, settings.pitch.offset, settings.roll.offset);
    std::fprintf(out, "\n");
    PrintWrapped(out, "  ", 2, text);
}

}  // namespace velmora::check
