#pragma once

#include <string>

#include "host/run_summary.h"

namespace velmora::host {

// What the host shows while it runs.
struct LiveStatus {
    double elapsed = 0.0;
    double duration = 0.0;
    std::string vehicle;
    std::string tracker;
    std::string trackerFound;
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

// The live view, in one of two styles. On a terminal that takes escape sequences: a fixed block
// at the top of the screen, redrawn in place, and a scrolling region below it for events and for
// whatever the plug-in writes to the terminal itself (the test-mode notice), which then scrolls
// under the block instead of tearing it. Elsewhere (pipes, CI logs, --plain): one line per second
// of run time and one per event, nothing redrawn.
class LiveView {
public:
    // The terminal style unless `plain` is asked for or the output cannot take it.
    LiveView(std::string title, bool plain);
    ~LiveView() { Finish(); }
    LiveView(const LiveView&) = delete;
    LiveView& operator=(const LiveView&) = delete;

    // Called about ten times a second.
    void Show(const LiveStatus& status);
    // Something the host did or saw, with the time it happened.
    void Event(double at, const std::string& text);
    // Leaves the output ready for the summary.
    void Finish();

private:
    void ShowBlock(const LiveStatus& status);
    void ShowLine(const LiveStatus& status);

    std::string title_;
    bool terminal_;
    bool finished_ = false;
    double nextLine_ = 1.0;
};

// A car's name as the host shows it: quoted, exactly as given, with what it hides, if anything
// (a space at an end, a tab): the plug-in matches a section byte for byte.
std::string ShownVehicle(const std::string& name);

}  // namespace velmora::host
