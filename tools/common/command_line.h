#pragma once

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// What the tools' command lines share: reading an option and its value, numbers within a range,
// and how a command line that makes no run is answered. Every tool answers it alike: one line
// that says what is wrong (with a "did you mean" for a misspelt option), one line on where the
// options are explained, and the exit status kMisuse, which scripts can tell from a run that
// failed (1).
namespace velmora::tools {

inline constexpr int kMisuse = 2;

struct Option {
    std::string_view name;  // with its dashes: "--trace"
    bool takesValue = false;
};

namespace detail {

inline std::string Lowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lowered;
}

// Letters inserted, left out, changed or two swapped, counted.
inline std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) {
        for (std::size_t j = 0; j <= b.size(); ++j) {
            if (i == 0 || j == 0) {
                d[i][j] = i + j;
                continue;
            }
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

inline std::string_view WithoutDashes(std::string_view word) {
    while (word.starts_with('-')) {
        word.remove_prefix(1);
    }
    return word;
}

}  // namespace detail

// The known option `given` most likely meant: the same with one dash or in capitals, a letter or
// two off, or the start of one option alone. Empty when none is that near: a wild guess misleads
// more than none.
inline std::string_view NearestOption(std::string_view given, std::span<const Option> known) {
    const std::string word = detail::Lowered(detail::WithoutDashes(given));
    std::string_view nearest;
    std::size_t best = 0;
    std::size_t startsWith = 0;
    std::string_view started;
    for (const Option& option : known) {
        const std::string_view name = detail::WithoutDashes(option.name);
        const std::size_t distance = detail::EditDistance(word, name);
        // Fewer letters off the shorter the name: "--x" is no misspelt "--csv", nor "-h".
        const std::size_t allowed = name.size() >= 6 ? 2 : name.size() >= 3 ? 1 : 0;
        if (distance <= allowed && (nearest.empty() || distance < best)) {
            nearest = option.name;
            best = distance;
        }
        if (word.size() >= 3 && name.starts_with(word)) {
            ++startsWith;
            started = option.name;
        }
    }
    return !nearest.empty() ? nearest : startsWith == 1 ? started : std::string_view();
}

// Reads the option at argv[i] and, when it takes one, its value (the next word, or what follows
// "=" in "--name=value"), moving i past what it read. Empty, with the reason as one line in
// `error`, when argv[i] is no option of `known`, or its value is missing.
inline std::optional<Option> ReadOption(std::span<const Option> known, int argc,
                                        const char* const* argv, int& i, std::string& value,
                                        std::string& error) {
    std::string_view word = argv[i];
    std::optional<std::string_view> joined;
    if (const std::size_t equals = word.find('='); word.starts_with("--") && equals != word.npos) {
        joined = word.substr(equals + 1);
        word = word.substr(0, equals);
    }
    const auto found = std::find_if(known.begin(), known.end(),
                                    [&](const Option& option) { return option.name == word; });
    if (found == known.end()) {
        const std::string_view nearest = NearestOption(word, known);
        const bool dashed = word.starts_with('-');
        error = (dashed ? "unknown option " : "unexpected word ") + std::string(argv[i]);
        if (!nearest.empty()) {
            error += "; did you mean " + std::string(nearest) + "?";
        } else if (!dashed) {
            error += " (each value follows its option)";
        }
        return std::nullopt;
    }
    if (!found->takesValue) {
        if (joined) {
            error = std::string(word) + " takes no value";
            return std::nullopt;
        }
        return *found;
    }
    if (joined) {
        value = *joined;
        return *found;
    }
    const bool next = i + 1 < argc;
    const std::string_view following = next ? argv[i + 1] : "";
    if (!next || std::any_of(known.begin(), known.end(),
                             [&](const Option& option) { return option.name == following; })) {
        error = std::string(word) + " needs a value" +
                (next ? " before " + std::string(following) : std::string());
        return std::nullopt;
    }
    value = argv[++i];
    return *found;
}

// A whole finite decimal number, with an optional sign; '.' is the point, whatever the locale.
inline bool ReadNumber(std::string_view text, double& value) {
    if (text.starts_with('+')) {
        text.remove_prefix(1);
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc{} && end == text.data() + text.size() &&
           std::isfinite(value);
}

// The number `text` holds when it is one from `least` to `most`.
inline std::optional<double> NumberWithin(std::string_view text, double least, double most) {
    double value = 0.0;
    if (!ReadNumber(text, value) || value < least || value > most) {
        return std::nullopt;
    }
    return value;
}

// Answers a command line that makes no run: the reason, where the options are explained, and
// the status to exit with.
inline int Misuse(std::string_view tool, const std::string& error) {
    const std::string program(tool);
    std::fprintf(stderr, "%s: %s\n%s --help lists the options.\n", program.c_str(), error.c_str(),
                 program.c_str());
    return kMisuse;
}

}  // namespace velmora::tools
