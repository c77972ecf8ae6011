#include "host/frame_recorder.h"

namespace velmora::host {

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

FrameRecorder::~FrameRecorder() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool FrameRecorder::Open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "w");
    if (file_ == nullptr) {
        return false;
    }
    std::fputs("time_s,vehicle", file_);
    for (const char* name : kControlNames) {
        std::fprintf(file_, ",%s", name);
    }
    std::fputs("\n", file_);
    return true;
}

void FrameRecorder::Record(double time, const std::string& vehicle, const FrameAnswers& answers) {
    if (file_ == nullptr) {
        return;
    }
    std::fprintf(file_, "%.4f,%s", time, CsvField(vehicle).c_str());
    for (const Answer& answer : answers) {
        if (answer.answered) {
            std::fprintf(file_, ",%.6g", answer.value);
        } else {
            std::fputs(",", file_);
        }
    }
    std::fputs("\n", file_);
}

}  // namespace velmora::host
