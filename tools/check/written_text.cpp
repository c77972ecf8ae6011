#include "written_text.h"

#include <algorithm>
#include <cstdio>

namespace velmora::check {
namespace {

std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The words players write for "on", and "true" with a tab or another invisible byte after it.
bool LooksLikeYes(std::string_view value) {
    const std::size_t end = value.find_last_not_of(" \t\r\v\f");
    const std::string word = Lowered(value.substr(0, end == std::string_view::npos ? 0 : end + 1));
    for (const char* yes : {"1", "yes", "y", "on", "enabled", "enable", "true"}) {
        if (word == yes) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\t') {
            quoted += "\\t";
        } else if (c == '\r') {
            quoted += "\\r";
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

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

std::string DottedAddress(std::uint32_t address) {
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::string Lowered(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

std::optional<std::string> NearestName(std::string_view written,
                                       const std::vector<std::string>& names) {
    const std::string lower = Lowered(written);
    // A third of the name, and at least two: "Use Filter" still finds "Use Filtering", "Colour"
    // finds nothing.
    std::size_t best = std::max<std::size_t>(2, written.size() / 3) + 1;
    std::optional<std::string> nearest;
    for (const std::string& name : names) {
        const std::size_t distance = EditDistance(lower, Lowered(name));
        if (distance < best) {
            best = distance;
            nearest = name;
        }
    }
    return nearest;
}

std::string OffReading(std::string_view value) {
    if (Lowered(value) == "false") {
        return "";
    }
    if (LooksLikeYes(value)) {
        return Quoted(value) +
               " reads as off: a yes/no value is on only when it says \"true\" (any letter case)";
    }
    return Quoted(value) + " is neither true nor false: it reads as off";
}

}  // namespace velmora::check
