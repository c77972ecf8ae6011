#pragma once

#include <string>
#include <vector>

#include "simdriver/pose.h"
#include "simdriver/trace_file.h"

namespace velmora::sim {

// A recorded head trace played back against the clock, looping at its end.
class TraceReplay {
public:
    // False, with the reason in `error`, when the file is not a trace (see ParseTrace).
    bool Load(const std::string& path, TraceUnits units, std::string& error);
    // Rows in time order.
    void Assign(std::vector<TraceRow> rows);
    bool Empty() const { return rows_.empty(); }

    // The row in force `seconds` after the replay began.
    Pose At(double seconds) const;
    // From the first row to the last, in seconds.
    double Span() const { return rows_.empty() ? 0.0 : rows_.back().time - rows_.front().time; }

private:
    std::vector<TraceRow> rows_;
    double period_ = 0.0;  // from the first row to where the first comes round again
};

}  // namespace velmora::sim
