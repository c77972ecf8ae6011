#include "drivers/udp/bridge_settings.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "config/config_lines.h"
#include "config/number_reader.h"
#include "config/settings_file.h"

namespace velmora::udp {
namespace {

constexpr std::uint32_t kMaxStalenessMs = 60000;
constexpr double kMaxOffsetDegrees = 180.0;

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\f\v");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\f\v");
    return text.substr(first, last - first + 1);
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

// A whole value or nothing: "12ms" or "1e3" is no count of milliseconds.
bool ReadUnsigned(std::string_view text, std::uint32_t low, std::uint32_t high,
                  std::uint32_t& target) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low ||
        value > high) {
        return false;
    }
    target = value;
    return true;
}

bool ReadDegrees(std::string_view text, double& target) {
    // from_chars takes no '+', but a user writing "+10" means ten.
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') {
        text.remove_prefix(1);
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value) || std::fabs(value) > kMaxOffsetDegrees) {
        return false;
    }
    target = value;
    return true;
}

bool ReadSwitch(std::string_view text, bool& target) {
    const std::optional<bool> on = ParseFlag(text);
    if (on) {
        target = *on;
    }
    return on.has_value();
}

// Dotted IPv4 only, four parts of 0 to 255. The address must be one the machine can bind to;
// "any" (0.0.0.0), broadcast and multicast addresses are refused, since they would open the
// tracker to the whole network or to nobody.
bool ReadAddress(std::string_view text, std::uint32_t& target) {
    std::uint32_t address = 0;
    for (int part = 0; part < 4; ++part) {
        const auto dot = part < 3 ? text.find('.') : text.size();
        if (dot == std::string_view::npos || dot == 0 || dot > 3) {
            return false;
        }
        std::uint32_t value = 0;
        if (!ReadUnsigned(text.substr(0, dot), 0, 255, value)) {
            return false;
        }
        address = (address << 8) | value;
        text.remove_prefix(part < 3 ? dot + 1 : dot);
    }
    const std::uint32_t first = address >> 24;
    if (!text.empty() || address == 0 || first >= 224) {
        return false;
    }
    target = address;
    return true;
}

}  // namespace

std::optional<BridgeKey> FindBridgeKey(std::string_view lowerCaseName) {
    for (std::size_t i = 0; i < kBridgeKeys.size(); ++i) {
        if (lowerCaseName == kBridgeKeys[i]) {
            return static_cast<BridgeKey>(i);
        }
    }
    return std::nullopt;
}

std::vector<BridgeLine> SplitBridgeLines(std::string_view text) {
    std::vector<BridgeLine> lines;
    ConfigLines reader(text);
    while (const std::optional<ConfigLine> line = reader.Next()) {
        std::string_view key = line->key;
        std::string_view value = line->value;
        bool assigns = line->assigns;
        if (line->header) {
            // The bridge has no sections: a bracketed line is split like any other. The brackets
            // lie just outside the section's view, in the same text.
            const std::string_view whole(line->section.data() - 1, line->section.size() + 2);
            const std::size_t equals = whole.find('=');
            assigns = equals != std::string_view::npos;
            key = whole.substr(0, equals);
            value = assigns ? whole.substr(equals + 1) : std::string_view();
        }
        // The plug-in keeps a line of tabs as an empty key; for the bridge it holds nothing.
        if (!Trim(key).empty() || assigns) {
            lines.push_back({line->number, Lower(Trim(key)), Trim(value), assigns});
        }
    }
    return lines;
}

bool ApplyBridgeSetting(BridgeSettings& settings, std::string_view lowerCaseKey,
                        std::string_view value) {
    const std::optional<BridgeKey> key = FindBridgeKey(lowerCaseKey);
    if (!key) {
        return false;
    }
    std::uint32_t number = 0;
    switch (*key) {
        case BridgeKey::Address:
            return ReadAddress(value, settings.address);
        case BridgeKey::Port:
            if (!ReadUnsigned(value, 1, 65535, number)) {
                return false;
            }
            settings.port = static_cast<std::uint16_t>(number);
            return true;
        case BridgeKey::StalenessMs:
            return ReadUnsigned(value, 1, kMaxStalenessMs, settings.stalenessMs);
        case BridgeKey::InvertYaw:
            return ReadSwitch(value, settings.yaw.invert);
        case BridgeKey::InvertPitch:
            return ReadSwitch(value, settings.pitch.invert);
        case BridgeKey::InvertRoll:
            return ReadSwitch(value, settings.roll.invert);
        case BridgeKey::OffsetYaw:
            return ReadDegrees(value, settings.yaw.offset);
        case BridgeKey::OffsetPitch:
            return ReadDegrees(value, settings.pitch.offset);
        case BridgeKey::OffsetRoll:
            return ReadDegrees(value, settings.roll.offset);
    }
    return false;
}

BridgeSettings ParseSettings(std::string_view text) {
    BridgeSettings settings;
    for (const BridgeLine& line : SplitBridgeLines(text)) {
        if (line.assigns) {
            ApplyBridgeSetting(settings, line.key, line.value);
        }
    }
    return settings;
}

BridgeSettings LoadSettings(const std::string& path) {
    const std::optional<std::string> bytes = ReadSettingsFile(path);
    return bytes ? ParseSettings(*bytes) : BridgeSettings{};
}

}  // namespace velmora::udp
