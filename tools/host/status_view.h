#pragma once

#include <string>

#include "host/run_statistics.h"

namespace velmora::host {

// What the host shows while it runs.
struct LiveStatus {
    double elapsed = 0.0;
    double duration = 0.0;
    std::string vehicle;
    std::string tracker;
    std::string trackerDetail;
    std::string trackerFailures;
    // Whether the controls answered in the last frame: what the game would see. The host's own
    // Enable/Disable calls are not the whole story, since a test-mode reload applies
    // "Use Tracker" again.
    bool answering = false;
    bool hostEnabled = true;  // the host's last call was Enable (or none), not Disable
    double framesPerSecond = 0.0;
    double queriesPerSecond = 0.0;
    const RunStatistics* statistics = nullptr;
};

// The live view: refreshed in place on a terminal, a plain line about once a second elsewhere.
class StatusView {
public:
    virtual ~StatusView() = default;
    // Called about ten times a second.
    virtual void Show(const LiveStatus& status) = 0;
    // Something the host did or saw, with the time it happened.
    virtual void Event(double at, const std::string& text) = 0;
    // Leaves the output ready for the summary.
    virtual void Finish() = 0;
};

// Formats a control's last answer: the value, or "-" when unanswered.
std::string LastAnswer(const ControlTally& tally);

// "answering" or "silent", with the host's Disable named when it is in force.
std::string PluginState(const LiveStatus& status);

}  // namespace velmora::host
