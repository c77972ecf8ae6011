#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "simdriver/pose.h"

namespace velmora::sim {

// Writes every reading handed to the plug-in as a trace that the tuning tool and the replay read
// back: "time_s,yaw_raw,pitch_raw,roll_raw", raw units, time from the first reading. Raw units
// keep the recording exact; degrees would round.
//
// With the truth, three more columns on the same row, "true_yaw_deg,true_pitch_deg,true_roll_deg":
// the head as it was when the reading was handed out, to a millionth of a degree. On the same row
// rather than in a file of its own, the truth cannot fall out of step with its reading, be lost
// apart from it, or outlast a row cut short; the trace reader reads old and new recordings alike.
class HandoutRecording {
public:
    // Records nothing when `path` is empty or cannot be written.
    HandoutRecording(const std::string& path, bool withTruth);

    // `truth` is written only by a recording made with it.
    void Record(const Pose& reading, const PoseDegrees& truth);

private:
    struct CloseFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    std::unique_ptr<std::FILE, CloseFile> file_;
    bool withTruth_;
    std::optional<std::chrono::steady_clock::time_point> start_;
};

}  // namespace velmora::sim
