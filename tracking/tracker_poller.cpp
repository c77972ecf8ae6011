#include "tracking/tracker_poller.h"

#include <optional>

#include "config/settings_file.h"
#include "platform/platform.h"
#include "tracking/reload_timer.h"
#include "tracking/trace_recorder.h"

namespace velmora {
namespace {

constexpr std::uint32_t kReadInterval = 10;
constexpr std::uint32_t kRetryInterval = 100;
// Stop waits this long, in sleeps of kStopPollInterval, for the thread to end by itself.
constexpr std::uint32_t kStopWait = 1000;
constexpr std::uint32_t kStopPollInterval = 10;

// The test-mode reload: the bytes are read as file work, into memory of the thread's own, so that
// Stop can give the thread up in a read that blocks (a network share that dropped, a file a sync
// tool fetches on demand); only the parsing and applying take the lock. False when the thread was
// given up.
bool ReloadSettings(ThreadContext& context, const std::string& path, SharedHead& head) {
    std::optional<std::string> bytes;
    bool read = false;
    if (!context.FileWork([&] {
            try {
                bytes = ReadSettingsFile(path);
                read = true;
            } catch (...) {
                // Out of memory: polling goes on with the settings that stand.
            }
        })) {
        return false;
    }
    try {
        if (read) {
            head.ApplySettings(bytes.value_or(std::string()));
        }
    } catch (...) {
    }
    return true;
}

}  // namespace

TrackerPoller::TrackerPoller(SharedHead& head, const Switches& switches, std::string driverName)
    : head_(head), switches_(switches), driverName_(std::move(driverName)) {}

TrackerPoller::~TrackerPoller() {
    Stop();
}

void TrackerPoller::Start() {
    Stop();
    stopRequested_ = false;
    driver_ = TrackerDriver::Load(driverName_.c_str());
    if (driver_) {
        thread_ = std::make_unique<WorkerThread>(Poll, this, driver_);
    }
}

void TrackerPoller::Stop() {
    if (thread_) {
        stopRequested_ = true;
        // Counted on the clock rather than in sleeps: Windows' default timer makes a Sleep(10) last
        // 15.6 ms.
        const std::uint32_t start = platform::TickCount();
        while (thread_->Running() && platform::TickCount() - start < kStopWait) {
            platform::Sleep(kStopPollInterval);
        }
        if (thread_->Running()) {
            thread_->Terminate();
        }
        thread_.reset();
    }
    // A thread given up inside a driver call still holds the library through its keepAlive.
    driver_.reset();
}

void TrackerPoller::ZeroSet() const {
    if (driver_) {
        driver_->ZeroSet();
    }
}

// Every driver call and every sleep is a stretch that Stop may end by force, every file call one
// that Stop may give up (see WorkerThread): the thread never dies holding the lock. When a stretch
// reports that the thread was given up, the poller may already be gone: return without touching
// it.
std::uint32_t TrackerPoller::Poll(void* argument, ThreadContext& context) {
    auto& poller = *static_cast<TrackerPoller*>(argument);
    if (poller.stopRequested_) {
        return 0;
    }
    // Set before the thread was made and kept until it is gone; read once, and only here, so the
    // stretches below never look at the poller. The paths are the thread's own copies for the same
    // reason.
    const TrackerDriver& driver = *poller.driver_;
    const std::string settingsPath = poller.head_.SettingsPath();
    // A local of the polling thread, which alone touches it, so that an abandoned thread's recorder
    // shares nothing with a later one.
    TraceRecorder recorder(poller.head_.Folder());
    std::string vehicle;
    std::uint32_t vehicleSeen = 0;
    bool open = false;
    std::uint32_t interval = kReadInterval;
    ReloadTimer reload;
    for (;;) {
        if (!context.Outside([&] { platform::Sleep(interval); })) {
            return 0;
        }
        if (poller.switches_.TestMode() && !settingsPath.empty() &&
            reload.Due(platform::TickCount())) {
            reload.Schedule(platform::TickCount());
            if (!ReloadSettings(context, settingsPath, poller.head_)) {
                return 0;
            }
        }
        std::int32_t result = 0;
        if (!open) {
            if (!context.Outside([&] { result = driver.Open(); })) {
                return 0;
            }
            open = result == 0;
        }
        Reading reading;
        if (open) {
            if (!context.Outside([&] {
                    result = driver.GetTracking(&reading.yaw, &reading.pitch, &reading.roll);
                })) {
                return 0;
            }
            // The driver takes a new open after a failed read; no close in between.
            open = result == 0;
        }
        interval = result == 0 ? kReadInterval : kRetryInterval;
        if (open) {
            poller.head_.AddReading(reading);
        }
        const bool recording = poller.switches_.RecordTrace();
        if (recording) {
            poller.head_.VehicleSince(vehicleSeen, vehicle);
        }
        if (!recorder.Follow(context, recording, platform::Microseconds(),
                             open ? &reading : nullptr, vehicle)) {
            return 0;
        }
        if (poller.stopRequested_) {
            break;
        }
    }
    if (!recorder.Finish(context)) {
        return 0;
    }
    if (open) {
        context.Outside([&] { driver.Close(); });
    }
    return 0;
}

}  // namespace velmora
