#include "guide_table.h"

#include <sstream>

namespace velmora::test {

std::string CollapseSpaces(const std::string& text) {
    std::istringstream words(text);
    std::string word, joined;
    while (words >> word) {
        joined += (joined.empty() ? "" : " ") + word;
    }
    return joined;
}

std::vector<std::string> GuideTable(const std::string& guide, const std::string& header) {
    std::istringstream lines(guide);
    std::string line;
    while (std::getline(lines, line) && CollapseSpaces(line) != CollapseSpaces(header)) {
    }
    std::vector<std::string> rows;
    while (std::getline(lines, line)) {
        const std::string row = CollapseSpaces(line);
        if (row.empty()) {
            break;
        }
        if (row.find_first_not_of("- ") != std::string::npos) {
            rows.push_back(row);
        }
    }
    return rows;
}

}  // namespace velmora::test
