#pragma once

#include <string>
#include <vector>

#include "tune/filter_front.h"

namespace velmora::tune {

struct NamedFront {
    std::string name;
    const FilterFront* front = nullptr;
    const std::vector<SearchKey>* keys = nullptr;
};

// Fronts side by side: for each lag budget, each one's least rest error with the effective lag
// and onset delay it comes with ("-" where nothing keeps within the budget); then, front by
// front, the setting at each budget where it changes.
std::string FrontTable(const std::vector<NamedFront>& fronts);

// One setting's figures on a line, after its name: rest error with its trail and shake, lag,
// onset delay, outlier response, and the setting.
std::string PointLine(const std::string& name, const HeadMetrics& metrics,
                      const std::string& setting);

}  // namespace velmora::tune
