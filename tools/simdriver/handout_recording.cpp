#include "simdriver/handout_recording.h"

namespace velmora::sim {

HandoutRecording::HandoutRecording(const std::string& path, bool withTruth)
    : withTruth_(withTruth) {
    if (path.empty()) {
        return;
    }
    file_.reset(std::fopen(path.c_str(), "w"));
    if (!file_) {
        std::fprintf(stderr, "simulated tracker: cannot record to %s\n", path.c_str());
        return;
    }
    std::fputs(withTruth_ ? "time_s,yaw_raw,pitch_raw,roll_raw,true_yaw_deg,true_pitch_deg,"
                            "true_roll_deg\n"
                          : "time_s,yaw_raw,pitch_raw,roll_raw\n",
               file_.get());
}

void HandoutRecording::Record(const Pose& reading, const PoseDegrees& truth) {
    if (!file_) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!start_) {
        start_ = now;
    }
    const double seconds = std::chrono::duration<double>(now - *start_).count();
    std::fprintf(file_.get(), "%.4f,%d,%d,%d", seconds, static_cast<int>(reading.yaw),
                 static_cast<int>(reading.pitch), static_cast<int>(reading.roll));
    if (withTruth_) {
        std::fprintf(file_.get(), ",%.6f,%.6f,%.6f", truth.yaw, truth.pitch, truth.roll);
    }
    std::fputc('\n', file_.get());
    // The simulated tracker is never unloaded cleanly: each line must reach the file by itself.
    std::fflush(file_.get());
}

}  // namespace velmora::sim
