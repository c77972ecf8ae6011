#include "finding.h"

#include <algorithm>
#include <tuple>

namespace velmora::check {

void SortFindings(std::vector<Finding>& findings) {
    const auto key = [](const Finding& finding) { return std::tie(finding.line, finding.text); };
    std::stable_sort(findings.begin(), findings.end(),
                     [&](const Finding& a, const Finding& b) { return key(a) < key(b); });
    findings.erase(
        std::unique(findings.begin(), findings.end(),
                    [&](const Finding& a, const Finding& b) { return key(a) == key(b); }),
        findings.end());
}

}  // namespace velmora::check
