#pragma once

#include <string>

#include "host/status_view.h"

namespace velmora::host {

// A fixed block at the top of the screen, redrawn in place, and a scrolling region below it for
// events and for whatever the plug-in writes to the terminal itself (the test-mode notice): that
// text scrolls under the block instead of tearing it.
class TerminalView : public StatusView {
public:
    explicit TerminalView(std::string title);
    ~TerminalView() override { Finish(); }
    TerminalView(const TerminalView&) = delete;
    TerminalView& operator=(const TerminalView&) = delete;
    void Show(const LiveStatus& status) override;
    void Event(double at, const std::string& text) override;
    void Finish() override;

private:
    std::string title_;
    bool finished_ = false;
};

}  // namespace velmora::host
