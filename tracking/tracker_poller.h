#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "tracking/shared_head.h"
#include "tracking/switches.h"
#include "tracking/tracker_driver.h"
#include "tracking/worker_thread.h"

namespace velmora {

// The tracker driver and the thread that polls it: about every 10 ms one reading into the
// filters, 100 ms between attempts after a failed open or read, in test mode a settings reload at
// most once a second, and while "Record Trace" is on, every reading into a trace file beside the
// settings (see TraceRecorder), written about once a second outside the lock.
//
// Start, Stop and ZeroSet run on the host's thread only. The polling thread touches the shared
// state through SharedHead alone (which takes the lock) and reads the switches; it is never inside
// the lock while it sleeps, calls the driver or touches a file. Stop asks the thread to end, waits
// a second and then gives it up (see WorkerThread): it ends it by force in a driver call or a
// sleep, lets it go in a file call or, after a fifth of a second more, in its own code. So its
// waits come to 1.4 s at most, whatever the driver, the disk or the host does. The destructor
// stops, so no thread polls for a poller that is gone, and the poller is destroyed before the
// SharedHead it feeds; a thread let go touches neither once its call returns.
class TrackerPoller {
public:
    // driverName: the library to load by the system's search (its bare file name).
    TrackerPoller(SharedHead& head, const Switches& switches, std::string driverName);
    ~TrackerPoller();
    TrackerPoller(const TrackerPoller&) = delete;
    TrackerPoller& operator=(const TrackerPoller&) = delete;

    // Loads the driver and starts polling; without a usable driver, no thread. A poller that is
    // already polling stops first, so a second Start never leaves a thread behind.
    void Start();
    // Ends the thread and unloads the driver (a driver the thread died inside stays loaded).
    void Stop();
    // Asks the driver to take the present pose as its centre; nothing without a driver.
    void ZeroSet() const;
    // True from a Start that found a usable driver until Stop.
    bool Polling() const { return thread_ != nullptr; }

private:
    static std::uint32_t Poll(void* poller, ThreadContext& context);

    SharedHead& head_;
    const Switches& switches_;
    const std::string driverName_;
    // Read by the polling thread; set before the thread is made and cleared after it is gone.
    std::shared_ptr<TrackerDriver> driver_;
    std::atomic<bool> stopRequested_{false};
    std::unique_ptr<WorkerThread> thread_;
};

}  // namespace velmora
