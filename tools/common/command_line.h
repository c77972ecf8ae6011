#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <string>
#include <string_view>

// What the tools' command lines share: options that take the word after them, and numbers.
namespace velmora::tools {

// The value of the option at argv[i], one of `taking`, moving i past it. False, with the message
// in `error`, when the option is none of them or its value is missing.
inline bool TakeValue(std::string_view option, std::initializer_list<std::string_view> taking,
                      int argc, const char* const* argv, int& i, std::string& value,
                      std::string& error) {
    if (std::find(taking.begin(), taking.end(), option) == taking.end()) {
        error = "unknown option " + std::string(option);
        return false;
    }
    if (i + 1 >= argc) {
        error = std::string(option) + " needs a value";
        return false;
    }
    value = argv[++i];
    return true;
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

}  // namespace velmora::tools
