#pragma once

#include <array>
#include <cstdio>
#include <string>

#include "controls/control_names.h"

namespace velmora::host {

// One answer to one query in one frame.
struct Answer {
    bool answered = false;
    float value = 0.0f;
};

using FrameAnswers = std::array<Answer, kControlNames.size()>;

// --csv: one row per frame with the time, the player's vehicle and the nine answers, empty where
// the plug-in gave none, for plotting.
class FrameRecorder {
public:
    FrameRecorder() = default;
    ~FrameRecorder();
    FrameRecorder(const FrameRecorder&) = delete;
    FrameRecorder& operator=(const FrameRecorder&) = delete;

    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    void Record(double time, const std::string& vehicle, const FrameAnswers& answers);

private:
    std::FILE* file_ = nullptr;
};

// A CSV field: quoted, with quotes doubled, when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text);

}  // namespace velmora::host
