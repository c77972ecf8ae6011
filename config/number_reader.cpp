// ConfigFile's number readers. They parse the text themselves rather than through strtol, strtod
// or a stream, which follow the process locale: a host that sets a German locale would otherwise
// read "2.5" as 2. The one library call, std::from_chars, is locale-independent by definition.
#include "config/number_reader.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>

namespace velmora {
namespace {

static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559,
              "narrowing a double beyond the float range must give an infinity");

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads an optional sign at `at`, moving past it; true for '-'.
bool ReadSign(std::string_view text, std::size_t& at) {
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        return text[at++] == '-';
    }
    return false;
}

std::size_t SkipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && IsDigit(text[at])) {
        ++at;
    }
    return at;
}

// No text that fits in memory has digits enough to bring a number with an exponent this large
// back into the double range; capping it keeps the arithmetic below from overflowing.
constexpr std::int64_t kExponentCap = 1'000'000'000'000'000;

// Where a number's first significant digit stands, as a power of ten (0.05 gives -2, 120 gives
// 2). Only its sign is used: it tells an overflow from an underflow.
std::int64_t DecimalMagnitude(std::string_view text, std::size_t intBegin, std::size_t intEnd,
                              std::size_t fracBegin, std::size_t fracEnd, std::int64_t exponent) {
    for (std::size_t i = intBegin; i < intEnd; ++i) {
        if (text[i] != '0') {
            return exponent + static_cast<std::int64_t>(intEnd - i) - 1;
        }
    }
    for (std::size_t i = fracBegin; i < fracEnd; ++i) {
        if (text[i] != '0') {
            return exponent - static_cast<std::int64_t>(i - fracBegin) - 1;
        }
    }
    return 0;
}

}  // namespace

std::optional<LeadingNumber<std::int32_t>> ParseLeadingInt(std::string_view value) {
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::size_t at = 0;
    while (at < value.size() && IsSpace(value[at])) {
        ++at;
    }
    const bool negative = ReadSign(value, at);
    if (at == value.size() || !IsDigit(value[at])) {
        return std::nullopt;
    }
    std::int64_t magnitude = 0;
    for (; at < value.size() && IsDigit(value[at]); ++at) {
        magnitude = magnitude * 10 + (value[at] - '0');
        if (magnitude > kLimit) {
            return std::nullopt;
        }
    }
    if (!negative && magnitude == kLimit) {
        return std::nullopt;
    }
    return LeadingNumber<std::int32_t>{static_cast<std::int32_t>(negative ? -magnitude : magnitude),
                                       at};
}

std::optional<LeadingNumber<float>> ParseLeadingFloat(std::string_view value) {
    std::size_t at = 0;
    while (at < value.size() && IsSpace(value[at])) {
        ++at;
    }
    const bool negative = ReadSign(value, at);
    const std::size_t intBegin = at;
    const std::size_t intEnd = SkipDigits(value, intBegin);
    std::size_t fracBegin = intEnd;
    std::size_t fracEnd = intEnd;
    if (intEnd < value.size() && value[intEnd] == '.') {
        fracBegin = intEnd + 1;
        fracEnd = SkipDigits(value, fracBegin);
    }
    if (intEnd == intBegin && fracEnd == fracBegin) {
        return std::nullopt;
    }
    at = fracEnd;
    std::int64_t exponent = 0;
    if (at < value.size() && (value[at] == 'e' || value[at] == 'E')) {
        ++at;
        const bool negativeExponent = ReadSign(value, at);
        if (at == value.size() || !IsDigit(value[at])) {
            return std::nullopt;  // "1e" and "1e+" are not numbers with the exponent left off
        }
        for (; at < value.size() && IsDigit(value[at]); ++at) {
            exponent = std::min(exponent * 10 + (value[at] - '0'), kExponentCap);
        }
        exponent = negativeExponent ? -exponent : exponent;
    }

    // The accepted text, without its sign (from_chars takes no '+'), is exactly from_chars's
    // grammar, and from_chars rounds correctly however many digits there are.
    const char* first = value.data() + intBegin;
    const char* last = value.data() + at;
    double result = 0.0;
    const auto [end, error] = std::from_chars(first, last, result, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // from_chars calls both ends a range error. Beyond the double range the value is
        // unreadable; below it the nearest double is a zero, as the narrowing would make it.
        if (DecimalMagnitude(value, intBegin, intEnd, fracBegin, fracEnd, exponent) >= 0) {
            return std::nullopt;
        }
        result = 0.0;
    } else if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    return LeadingNumber<float>{static_cast<float>(negative ? -result : result), at};
}

std::optional<std::int32_t> ParseInt(std::string_view value) {
    const auto read = ParseLeadingInt(value);
    return read ? std::optional<std::int32_t>(read->value) : std::nullopt;
}

std::optional<float> ParseFloat(std::string_view value) {
    const auto read = ParseLeadingFloat(value);
    return read ? std::optional<float>(read->value) : std::nullopt;
}

std::optional<bool> ParseFlag(std::string_view value) {
    if (value.empty()) {
        return std::nullopt;
    }
    // ASCII only: the host's locale must not decide what "true" means. OR-ing 0x20 lowers a
    // letter and maps no other byte onto these four.
    constexpr char kTrue[] = "true";
    if (value.size() != 4) {
        return false;
    }
    for (std::size_t i = 0; i < 4; ++i) {
        if ((value[i] | 0x20) != kTrue[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace velmora
