#include "drivers/udp/bridge_settings.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <string>
#include <system_error>

namespace velmora::udp {
namespace {

constexpr std::size_t kMaxFileBytes = 64 * 1024;
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
    const std::string value = Lower(text);
    if (value == "true" || value == "1") {
        target = true;
    } else if (value == "false" || value == "0") {
        target = false;
    } else {
        return false;
    }
    return true;
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

void Apply(BridgeSettings& settings, const std::string& key, std::string_view value) {
    std::uint32_t number = 0;
    if (key == "port") {
        if (ReadUnsigned(value, 1, 65535, number)) {
            settings.port = static_cast<std::uint16_t>(number);
        }
    } else if (key == "address") {
        ReadAddress(value, settings.address);
    } else if (key == "staleness_ms") {
        ReadUnsigned(value, 1, kMaxStalenessMs, settings.stalenessMs);
    } else if (key == "invert_yaw") {
        ReadSwitch(value, settings.yaw.invert);
    } else if (key == "invert_pitch") {
        ReadSwitch(value, settings.pitch.invert);
    } else if (key == "invert_roll") {
        ReadSwitch(value, settings.roll.invert);
    } else if (key == "offset_yaw") {
        ReadDegrees(value, settings.yaw.offset);
    } else if (key == "offset_pitch") {
        ReadDegrees(value, settings.pitch.offset);
    } else if (key == "offset_roll") {
        ReadDegrees(value, settings.roll.offset);
    }
}

}  // namespace

BridgeSettings ParseSettings(std::string_view text) {
    BridgeSettings settings;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        line = line.substr(0, line.find(';'));
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        Apply(settings, Lower(Trim(line.substr(0, equals))), Trim(line.substr(equals + 1)));
    }
    return settings;
}

BridgeSettings LoadSettings(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return {};
    }
    std::string text(kMaxFileBytes, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    return ParseSettings(text);
}

}  // namespace velmora::udp
