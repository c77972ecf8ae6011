#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace velmora {

// The readers of a settings value. Each reads the same way under every locale ('.' is the decimal
// point) and answers nothing for an empty or unreadable value, which leaves its setting as it was.

// Decimal, after optional white space and sign; stops at the first other character ("12abc" is
// 12). Nothing when no digit comes first or the number leaves the int32 range.
std::optional<std::int32_t> ParseInt(std::string_view value);

// Digits with an optional '.' and an optional exponent; stops at the first other character
// ("2,5" is 2). Nothing for "1e" or "1e+", for infinity and NaN words, and beyond the double
// range; below it a zero of its sign; beyond the float range an infinity.
std::optional<float> ParseFloat(std::string_view value);

// The same two readers, with how far they read: `length` counts the characters taken (white
// space, sign and number), so that what follows, which the readers ignore, can be shown.
template <class Number>
struct LeadingNumber {
    Number value;
    std::size_t length;
};
std::optional<LeadingNumber<std::int32_t>> ParseLeadingInt(std::string_view value);
std::optional<LeadingNumber<float>> ParseLeadingFloat(std::string_view value);

// On exactly for "true" in any letter case, off for anything else; nothing for an empty value.
std::optional<bool> ParseFlag(std::string_view value);

}  // namespace velmora
