#pragma once

#include <string>
#include <vector>

#include "pose.h"

namespace velmora::sim {

// A recorded head trace played back against the clock, looping at its end.
//
// The file is CSV: one header line, then rows "time_s,yaw,pitch,roll" with the angles in degrees
// (or in raw units when `rawUnits`). Rows that do not parse are skipped.
class TraceReplay {
public:
    // False when the file cannot be read or holds no row.
    bool Load(const std::string& path, bool rawUnits);
    bool Empty() const { return rows_.empty(); }

    // The row in force `seconds` after the replay began.
    Pose At(double seconds) const;
    // From the first row to the last, in seconds.
    double Span() const { return rows_.empty() ? 0.0 : rows_.back().time - rows_.front().time; }

    // True when a header line names raw units ("yaw_raw"); degrees otherwise.
    static bool HeaderNamesRawUnits(const std::string& path);

private:
    struct Row {
        double time;
        Pose pose;
    };

    std::vector<Row> rows_;
    double period_ = 0.0;  // from the first row to where the first comes round again
};

}  // namespace velmora::sim
