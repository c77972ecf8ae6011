#include "status_view.h"

#include <cstdio>

namespace velmora::host {

std::string LastAnswer(const ControlTally& tally) {
    if (!tally.lastAnswered) {
        return "-";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", tally.lastValue);
    return text;
}

}  // namespace velmora::host
