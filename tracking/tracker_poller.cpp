#include "tracking/tracker_poller.h"

#include "platform/platform.h"
#include "tracking/reload_timer.h"
#include "tracking/trace_recorder.h"

namespace velmora {
namespace {

constexpr std::uint32_t kReadInterval = 10;
constexpr std::uint32_t kRetryInterval = 100;
// Stop waits this many sleeps of kStopPollInterval for the thread to end by itself.
constexpr int kStopPolls = 100;
constexpr std::uint32_t kStopPollInterval = 10;

// A reading into the trace, beside the plug-in's settings; a recording begins with the first
// reading after the switch turns on.
void Record(TraceRecorder& recorder, const SharedHead& head, const Reading& reading) {
    if (recorder.Idle() && !head.Folder().empty()) {
        recorder.BeginIn(head.Folder());
    }
    recorder.FollowVehicle(head);
    recorder.Add(platform::Microseconds(), reading);
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
        for (int poll = 0; poll < kStopPolls && thread_->Running(); ++poll) {
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

// Every driver call and every sleep runs as an outside stretch: only there may Stop end the thread
// by force, so the thread never dies holding the lock. When a stretch reports that the thread was
// given up, the poller may already be gone: return without touching it.
std::uint32_t TrackerPoller::Poll(void* argument, ThreadContext& context) {
    auto& poller = *static_cast<TrackerPoller*>(argument);
    if (poller.stopRequested_) {
        return 0;
    }
    // Set before the thread was made and kept until it is gone; read once, and only here, so the
    // stretches below never look at the poller.
    const TrackerDriver& driver = *poller.driver_;
    bool open = false;
    std::uint32_t interval = kReadInterval;
    ReloadTimer reload;
    // The recording of this session: a local of the polling thread, which alone touches it, so
    // that an abandoned thread's recorder shares nothing with a later one.
    TraceRecorder recorder;
    ReloadTimer recorderWrite;
    // Its writes run as outside stretches: a slow disk must not hold Stop up, and the file is the
    // recorder's own, so a thread ended inside a write leaves no lock behind that anyone needs.
    auto writeOutside = [&] { return context.Outside([&] { recorder.Write(); }); };
    for (;;) {
        if (!context.Outside([&] { platform::Sleep(interval); })) {
            return 0;
        }
        interval = kReadInterval;

        if (poller.switches_.TestMode() && reload.Due(platform::TickCount())) {
            reload.Schedule(platform::TickCount());
            try {
                poller.head_.LoadSettings();
            } catch (...) {
                // Out of memory in a reload: polling goes on with the settings that stand.
            }
        }

        std::int32_t result = 0;
        if (!open) {
            if (!context.Outside([&] { result = driver.Open(); })) {
                return 0;
            }
            open = result == 0;
        }
        if (open) {
            Reading reading;
            if (!context.Outside([&] {
                    result = driver.GetTracking(&reading.yaw, &reading.pitch, &reading.roll);
                })) {
                return 0;
            }
            if (result == 0) {
                poller.head_.AddReading(reading);
                if (poller.switches_.RecordTrace()) {
                    Record(recorder, poller.head_, reading);
                }
            } else {
                // The driver takes a new open after a failed read; no close in between.
                open = false;
            }
        }
        if (result != 0) {
            interval = kRetryInterval;
        }

        // Written once a second, and before the file is closed: the switch gone off, or the
        // recording stopped.
        const bool recording = poller.switches_.RecordTrace();
        if (recorder.Open() &&
            (!recording || recorder.WriteDue() || recorderWrite.Due(platform::TickCount()))) {
            recorderWrite.Schedule(platform::TickCount());
            if (!writeOutside()) {
                return 0;
            }
        }
        if (!recording && !recorder.Idle()) {
            recorder.End();
        } else if (recorder.Stopped() && recorder.Open()) {
            recorder.Close();
        }

        if (poller.stopRequested_) {
            break;
        }
    }
    if (recorder.Open()) {
        if (!writeOutside()) {
            return 0;
        }
        recorder.Close();
    }
    if (open) {
        context.Outside([&] { driver.Close(); });
    }
    return 0;
}

}  // namespace velmora
