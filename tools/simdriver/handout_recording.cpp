#include "handout_recording.h"

namespace velmora::sim {

HandoutRecording::HandoutRecording(const std::string& path) {
    if (path.empty()) {
        return;
    }
    file_.reset(std::fopen(path.c_str(), "w"));
    if (!file_) {
        std::fprintf(stderr, "simulated tracker: cannot record to %s\n", path.c_str());
        return;
    }
    std::fputs("time_s,yaw_raw,pitch_raw,roll_raw\n", file_.get());
}

void HandoutRecording::Record(const Pose& pose) {
    if (!file_) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!start_) {
        start_ = now;
    }
    const double seconds = std::chrono::duration<double>(now - *start_).count();
    std::fprintf(file_.get(), "%.4f,%d,%d,%d\n", seconds, static_cast<int>(pose.yaw),
                 static_cast<int>(pose.pitch), static_cast<int>(pose.roll));
    // The simulated tracker is never unloaded cleanly: each line must reach the file by itself.
    std::fflush(file_.get());
}

}  // namespace velmora::sim
