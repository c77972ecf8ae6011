#pragma once

// The simulated tracker driver, loaded by its full path before the plug-in asks for
// "IWEARDRV.DLL" by bare name: Windows then hands the plug-in the module that is already loaded.
// Its test API holds the head still at a chosen pose and shows what the polling thread did.

struct TrackerCounters {  // the driver's SimTrackerCounters, field for field
    int opens;
    int failedOpens;
    int reads;
    int failedReads;
    int closes;
    int zeroSets;
    int callsInProgress;
    int hungReads;
    int queuedReadings;
    int isOpen;
};

class SimulatedTracker {
public:
    // False when the library or one of the test functions is missing.
    bool Load(const char* path);

    // Raw units: 65536 a full turn; positive yaw is the head turned left.
    void HoldPose(int yaw, int pitch, int roll) const;
    // The next read blocks until released, which this host never does.
    void HangNextRead() const;
    TrackerCounters Counters() const;

private:
    void (*setPose_)(int, int, int) = nullptr;
    void (*hangNextRead_)() = nullptr;
    void (*getCounters_)(TrackerCounters*) = nullptr;
};
