#include "simulated_tracker.h"

#include "kernel32.h"

namespace {

template <class Function>
bool Resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(GetProcAddress(library, name));
    return function != nullptr;
}

}  // namespace

bool SimulatedTracker::Load(const char* path) {
    void* library = LoadLibraryA(path);
    return library != nullptr && Resolve(library, "SimTrackerSetPose", setPose_) &&
           Resolve(library, "SimTrackerHangNextRead", hangNextRead_) &&
           Resolve(library, "SimTrackerGetCounters", getCounters_);
}

void SimulatedTracker::HoldPose(int yaw, int pitch, int roll) const {
    setPose_(yaw, pitch, roll);
}

void SimulatedTracker::HangNextRead() const {
    hangNextRead_();
}

TrackerCounters SimulatedTracker::Counters() const {
    TrackerCounters counters{};
    getCounters_(&counters);
    return counters;
}
