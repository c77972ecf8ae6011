#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace velmora::tune {

// Appends the parts in order. Markup is built by appending: GCC 12 misreads long chains of string
// `+` as overlapping copies (-Wrestrict), and appending copies less anyway.
void Add(std::string& out, std::initializer_list<std::string_view> parts);

// Text made safe inside an element or a quoted attribute.
std::string EscapeMarkup(const std::string& text);

// One number by a printf format that takes one double ("%.2f", "%g s").
std::string FormatNumber(const char* format, double value);

}  // namespace velmora::tune
