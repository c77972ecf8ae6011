#include "host/plain_view.h"

#include <cstdio>
#include <string>

namespace velmora::host {

void PlainView::Show(const LiveStatus& status) {
    if (status.elapsed < nextLine_) {
        return;
    }
    nextLine_ += 1.0;
    std::string line;
    char head[160];
    std::snprintf(head, sizeof head, "[%6.2f s] frames/s %5.1f  queries/s %6.0f  tracker %s  %s",
                  status.elapsed, status.framesPerSecond, status.queriesPerSecond,
                  status.tracker.c_str(), PluginState(status).c_str());
    line = head;
    line += "  vehicle \"" + status.vehicle + "\" |";
    for (int i = 0; i < static_cast<int>(kControlNames.size()); ++i) {
        // "Camera_" is the same on all nine: leave it out to keep the line readable.
        line += std::string(" ") + (kControlNames[i] + 7) + " " +
                LastAnswer(status.statistics->Tally(i));
    }
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void PlainView::Event(double at, const std::string& text) {
    std::printf("[%6.2f s] %s\n", at, text.c_str());
    std::fflush(stdout);
}

}  // namespace velmora::host
