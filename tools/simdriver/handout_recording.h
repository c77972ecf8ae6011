#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "pose.h"

namespace velmora::sim {

// Writes every reading handed to the plug-in as a trace that the tuning tool and the replay read
// back: "time_s,yaw_raw,pitch_raw,roll_raw", raw units, time from the first reading. Raw units
// keep the recording exact; degrees would round.
class HandoutRecording {
public:
    // Records nothing when `path` is empty or cannot be written.
    explicit HandoutRecording(const std::string& path);

    void Record(const Pose& pose);

private:
    struct CloseFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    std::unique_ptr<std::FILE, CloseFile> file_;
    std::optional<std::chrono::steady_clock::time_point> start_;
};

}  // namespace velmora::sim
