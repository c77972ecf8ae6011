#include "check/findings.h"

#include <algorithm>

#include "config/shown_name.h"

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

void SortFindings(std::vector<Finding>& findings) {
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
}

std::string Bracketed(const std::string& section) {
    std::string bracketed = QuotedName(section);
    bracketed.front() = '[';
    bracketed.back() = ']';
    return bracketed;
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
        return QuotedName(value) +
               " reads as off: a yes/no value is on only when it says \"true\" (any letter case)";
    }
    return QuotedName(value) + " is neither true nor false: it reads as off";
}

}  // namespace velmora::check
