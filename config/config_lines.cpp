#include "config/config_lines.h"

namespace velmora {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Spaces (0x20) only: tabs and other control characters stay part of a key or value.
std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

ConfigLines::ConfigLines(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) {
        bytes.remove_prefix(kByteOrderMark.size());
    }
    rest_ = bytes.substr(0, bytes.find('\x1a'));
}

std::optional<ConfigLine> ConfigLines::Next() {
    // A last line without a LF still counts.
    while (!rest_.empty()) {
        const std::size_t end = rest_.find('\n');
        std::string_view line = rest_.substr(0, end);
        rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
        ++number_;
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        // Only a line with a comment is trimmed here, so " [Settings]" is a key, not a header.
        const std::size_t semicolon = line.find(';');
        if (semicolon != std::string_view::npos) {
            line = Trim(line.substr(0, semicolon));
        }
        if (line.empty()) {
            continue;
        }
        // A lone CR is removed only after the emptiness test: a line of one CR is a key line.
        if (line.back() == '\r') {
            line.remove_suffix(1);
        }
        ConfigLine parsed;
        parsed.number = number_;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            parsed.header = true;
            parsed.section = line.substr(1, line.size() - 2);
            return parsed;
        }
        const std::size_t equals = line.find('=');
        parsed.key = Trim(line.substr(0, equals));
        if (equals != std::string_view::npos) {
            parsed.value = Trim(line.substr(equals + 1));
            parsed.assigns = true;
        }
        return parsed;
    }
    return std::nullopt;
}

}  // namespace velmora
