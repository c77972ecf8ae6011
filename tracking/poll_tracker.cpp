// The plug-in's binding to the tracker driver and its polling thread.

#include "platform/platform.h"
#include "plugin/velmora_plugin.h"
#include "tracking/reload_timer.h"

namespace velmora {
namespace {

constexpr std::uint32_t ReadInterval = 10;
constexpr std::uint32_t RetryInterval = 100;
// Stop waits this many sleeps of StopPollInterval for the thread to end by itself.
constexpr int StopPolls = 100;
constexpr std::uint32_t StopPollInterval = 10;

}  // namespace

void VelmoraPlugin::BindDriverAndStartPolling() {
    driverHandle = TrackerDriver::Load();
    if (!driverHandle) {
        return;
    }
    try {
        workerThread = std::make_unique<WorkerThread>(PollTracker, this, driverHandle);
    } catch (...) {
        // Out of memory: carry on as if the driver were missing, rather than hold it unused.
        workerThread.reset();
        driverHandle.reset();
    }
}

void VelmoraPlugin::StopPollingAndUnloadDriver() {
    if (workerThread) {
        stopRequested = true;
        for (int poll = 0; poll < StopPolls && workerThread->Running(); ++poll) {
            platform::Sleep(StopPollInterval);
        }
        if (workerThread->Running()) {
            workerThread->Terminate();
        }
        workerThread.reset();
    }
    // A thread given up inside a driver call still holds the library through its keepAlive; it
    // unloads once that thread has left it.
    driverHandle.reset();
}

// Every driver call and every sleep runs as an outside stretch: only there may Stop end the thread
// by force, so the thread never dies holding the lock. When a stretch reports that the thread was
// given up, the plug-in object may already be gone: return without touching it.
std::uint32_t VelmoraPlugin::PollTracker(void* argument, ThreadContext& context) {
    auto& plugin = *static_cast<VelmoraPlugin*>(argument);
    if (plugin.stopRequested) {
        return 0;
    }
    // Set before the thread was made and kept until it is gone; read once, and only here, so the
    // stretches below never look at the plug-in.
    const TrackerDriver* const driver = plugin.driverHandle.get();
    bool open = false;
    std::uint32_t interval = ReadInterval;
    ReloadTimer reload;
    while (driver != nullptr) {
        if (!context.Outside([&] { platform::Sleep(interval); })) {
            return 0;
        }
        interval = ReadInterval;

        if (plugin.testMode) {
            LockHold hold(plugin.lock);
            if (hold.Held() && reload.Due(platform::TickCount())) {
                reload.Schedule(platform::TickCount());
                plugin.LoadSettings();
            }
        }

        std::int32_t result = 0;
        if (!open) {
            if (!context.Outside([&] { result = driver->Open(); })) {
                return 0;
            }
            open = result == 0;
        }
        if (open) {
            std::int32_t yaw = 0;
            std::int32_t pitch = 0;
            std::int32_t roll = 0;
            if (!context.Outside([&] { result = driver->GetTracking(&yaw, &pitch, &roll); })) {
                return 0;
            }
            if (result == 0) {
                LockHold hold(plugin.lock);
                if (hold.Held()) {
                    plugin.AddReading(yaw, pitch, roll);
                }
            } else {
                // The driver takes a new open after a failed read; no close in between.
                open = false;
            }
        }
        if (result != 0) {
            interval = RetryInterval;
        }

        if (plugin.stopRequested) {
            break;
        }
    }
    if (open) {
        context.Outside([&] { driver->Close(); });
    }
    return 0;
}

void VelmoraPlugin::AddReading(std::int32_t yaw, std::int32_t pitch, std::int32_t roll) {
    yawFilter.AddSample(yaw);
    pitchFilter.AddSample(pitch);
    rollFilter.AddSample(roll);
}

}  // namespace velmora
