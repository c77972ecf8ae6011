#include "config/shown_name.h"

#include <array>
#include <cstddef>
#include <cstdio>
#include <optional>
#include <vector>

namespace velmora {
namespace {

// The code points of valid UTF-8; nothing for anything else (a stray continuation byte, an
// overlong form, a surrogate, beyond U+10FFFF, a sequence cut short).
std::optional<std::u32string> DecodeUtf8(std::string_view text) {
    std::u32string decoded;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if ((lead >= 0x80 && lead < 0xC2) || lead > 0xF4 || i + length > text.size()) {
            return std::nullopt;
        }
        char32_t point = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            point = point << 6 | (next & 0x3F);
        }
        constexpr std::array<char32_t, 5> kSmallest = {0, 0, 0x80, 0x800, 0x10000};
        if (point < kSmallest[length] || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF) {
            return std::nullopt;
        }
        decoded.push_back(point);
        i += length;
    }
    return decoded;
}

// Any other name is read as Windows-1252, the code page of the games this plug-in serves: only its
// ASCII half and its two unseen characters matter here, the rest all show.
std::u32string CodePoints(std::string_view name) {
    if (auto decoded = DecodeUtf8(name)) {
        return *decoded;
    }
    std::u32string points;
    for (const char byte : name) {
        const auto value = static_cast<unsigned char>(byte);
        points.push_back(value < 0x80 || value == 0xA0 || value == 0xAD ? value : U'?');
    }
    return points;
}

enum Unseen { kTab, kControl, kNonBreakingSpace, kNoRoom, kUnseenKinds };

std::optional<Unseen> UnseenKind(char32_t point) {
    if (point == U'\t') {
        return kTab;
    }
    if (point < 0x20 || (point >= 0x7F && point <= 0x9F)) {
        return kControl;
    }
    if (point == 0xA0 || point == 0x2007 || point == 0x202F) {
        return kNonBreakingSpace;
    }
    if (point == 0xAD || (point >= 0x200B && point <= 0x200D) || point == 0x2060 ||
        point == 0xFEFF) {
        return kNoRoom;
    }
    return std::nullopt;
}

std::string Counted(std::size_t count, const char* one, const char* many) {
    return count == 1 ? one : std::to_string(count) + " " + many;
}

// "a", "a and b", "a, b and c".
std::string Listed(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += i == 0 ? "" : i + 1 == items.size() ? " and " : ", ";
        text += items[i];
    }
    return text;
}

}  // namespace

std::string QuotedName(std::string_view name) {
    std::string quoted = "\"";
    for (const char byte : name) {
        const auto value = static_cast<unsigned char>(byte);
        if (value == '\t') {
            quoted += "\\t";
        } else if (value == '\n') {
            quoted += "\\n";
        } else if (value == '\r') {
            quoted += "\\r";
        } else if (value < 0x20 || value == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", value);
            quoted += escape;
        } else {
            quoted += byte;
        }
    }
    return quoted + "\"";
}

std::string HiddenInName(std::string_view name) {
    const std::u32string points = CodePoints(name);
    std::vector<std::string> parts;
    const auto first = points.find_first_not_of(U' ');
    if (first == std::u32string::npos) {
        if (!points.empty()) {
            parts.push_back("is " + Counted(points.size(), "a space", "spaces"));
        }
    } else {
        const std::size_t trailing = points.size() - 1 - points.find_last_not_of(U' ');
        if (first > 0) {
            parts.push_back("begins with " + Counted(first, "a space", "spaces"));
        }
        if (trailing > 0) {
            parts.push_back("ends with " + Counted(trailing, "a space", "spaces"));
        }
    }
    std::array<std::size_t, kUnseenKinds> counts{};
    for (const char32_t point : points) {
        if (const auto kind = UnseenKind(point)) {
            ++counts[*kind];
        }
    }
    std::vector<std::string> held;
    if (counts[kTab] > 0) {
        held.push_back(Counted(counts[kTab], "a tab", "tabs"));
    }
    if (counts[kControl] > 0) {
        held.push_back(Counted(counts[kControl], "a control character", "control characters"));
    }
    if (counts[kNonBreakingSpace] > 0) {
        held.push_back(
            Counted(counts[kNonBreakingSpace], "a non-breaking space", "non-breaking spaces"));
    }
    if (counts[kNoRoom] > 0) {
        held.push_back(Counted(counts[kNoRoom], "a character that takes no room",
                               "characters that take no room"));
    }
    if (!held.empty()) {
        parts.push_back("holds " + Listed(held));
    }
    return parts.empty() ? "" : "it " + Listed(parts);
}

std::string NameNote(std::string_view name) {
    const std::string hidden = HiddenInName(name);
    return hidden.empty() ? "" : "The name is " + QuotedName(name) + ": " + hidden + ".";
}

}  // namespace velmora
