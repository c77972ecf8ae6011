#include "host/status_view.h"

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

std::string PluginState(const LiveStatus& status) {
    std::string state = status.answering ? "answering" : "silent";
    if (!status.hostEnabled) {
        state += " (host: Disable)";
    }
    return state;
}

}  // namespace velmora::host
