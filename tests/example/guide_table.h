#pragma once

#include <string>
#include <vector>

namespace velmora::test {

// The rows of a table in the plain-text guide, each with its runs of spaces collapsed to one, so
// that the guide may align its columns freely. A table is the header line (compared the same
// way) and the lines after it up to the first blank line; a rule of dashes is skipped. Empty when
// the guide has no such header.
std::vector<std::string> GuideTable(const std::string& guide, const std::string& header);

// The words of `text` joined by single spaces.
std::string CollapseSpaces(const std::string& text);

}  // namespace velmora::test
