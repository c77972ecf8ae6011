#include "simdriver/tracker_model.h"

using velmora::sim::TrackerModel;

extern "C" {

void SimTrackerReset(void) {
    TrackerModel::Instance().Reset();
}

void SimTrackerSetPose(int32_t yaw, int32_t pitch, int32_t roll) {
    TrackerModel::Instance().SetPose({yaw, pitch, roll});
}

void SimTrackerPushReadings(const int32_t* values, int32_t count) {
    if (values != nullptr && count > 0) {
        TrackerModel::Instance().PushReadings(values, count);
    }
}

void SimTrackerHangAfterReads(int32_t total) {
    TrackerModel::Instance().HangAfterReads(total);
}

void SimTrackerSetOpenFailures(int32_t count) {
    TrackerModel::Instance().SetOpenFailures(count);
}

void SimTrackerSetReadFailEvery(int32_t n) {
    TrackerModel::Instance().SetReadFailEvery(n);
}

void SimTrackerFailNextReads(int32_t count) {
    TrackerModel::Instance().FailNextReads(count);
}

void SimTrackerHangNextRead(void) {
    TrackerModel::Instance().HangNextRead();
}

void SimTrackerReleaseHang(void) {
    TrackerModel::Instance().ReleaseHang();
}

void SimTrackerGetCounters(SimTrackerCounters* counters) {
    if (counters != nullptr) {
        *counters = TrackerModel::Instance().Counters();
    }
}

int32_t SimTrackerGetState(void) {
    return TrackerModel::Instance().State();
}

int32_t SimTrackerGetCallLog(char* buffer, int32_t size) {
    return TrackerModel::Instance().CallLog(buffer, size);
}

}  // extern "C"
