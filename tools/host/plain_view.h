#pragma once

#include "host/status_view.h"

namespace velmora::host {

// For pipes and CI logs: one line per second of run time and one per event, nothing redrawn.
class PlainView : public StatusView {
public:
    void Show(const LiveStatus& status) override;
    void Event(double at, const std::string& text) override;
    void Finish() override {}

private:
    double nextLine_ = 1.0;
};

}  // namespace velmora::host
