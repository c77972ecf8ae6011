#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/config_file.h"
#include "tracking/guarded_lock.h"
#include "tracking/head_filters.h"
#include "tracking/reading.h"
#include "tracking/switches.h"

namespace velmora {

// What the polling thread and the host's thread share: the three filters, the parsed settings and
// the player's vehicle, behind the plug-in's one lock.
//
// The threading contract. SharedHead is the lock's only owner, and every operation below takes
// it itself, for as short as it can; none may be called with it held. Nothing under the lock
// sleeps, calls the driver, touches a file or waits for the user: the settings file is read before
// the lock is taken, so a slow disk stalls neither the game's camera query nor Stop.
// - AddReading: the polling thread, once per reading.
// - VehicleSince: the polling thread, while it records a trace.
// - Outputs, ChangeVehicle: the host's thread.
// - LoadSettings, BeginSession: the host's thread (Start and Reset).
// - ApplySettings: either; the polling thread's test-mode reload reads the file itself, where Stop
//   may give the thread up in a read that blocks, and applies the bytes with it.
// The switches that the host's thread reads without the lock are atomics (Switches).
class SharedHead {
public:
    // settingsPath: the file LoadSettings reads; empty when it cannot be known, and then
    // LoadSettings changes nothing.
    SharedHead(Switches& switches, std::string settingsPath);
    SharedHead(const SharedHead&) = delete;
    SharedHead& operator=(const SharedHead&) = delete;

    void AddReading(const Reading& reading);
    // The three outputs of one reading. False, with `outputs` untouched, once the lock is being
    // retired.
    bool Outputs(Reading& outputs) const;

    // Reads the settings file and applies its switches, "General Filter" and then the current
    // vehicle's profile. A file that cannot be read empties the settings and changes nothing; one
    // whose read takes more than a few seconds (a dropped network share) changes nothing at all.
    void LoadSettings();
    // The same on the bytes of a file already read (an unreadable file is none at all).
    void ApplySettings(std::string_view text);
    // What Start does with the settings: a new session (enabled, every direction allowed), then
    // LoadSettings, or ApplySettings on `text`. The vehicle stays the one last known.
    void BeginSession();
    void BeginSession(std::string_view text);
    // The player now drives `name`: "General Filter", then its own profile, from the settings as
    // last read. False, and nothing changes, when that was the vehicle already.
    bool ChangeVehicle(std::string_view name);

    // True, with the player's vehicle copied into `name`, when it has changed since `seen`, a
    // count of changes that the caller keeps and this call brings up to date (0 before any). The
    // lock is taken only when there is a change to copy.
    bool VehicleSince(std::uint32_t& seen, std::string& name) const;

    // The file LoadSettings reads; empty when it cannot be known.
    const std::string& SettingsPath() const { return settingsPath_; }
    // The folder of the settings file, ending with its separator ("./" for a bare file name):
    // where the plug-in writes its trace recordings. Empty when the settings path is.
    const std::string& Folder() const { return folder_; }

    // A copy of the filters as they stand, for tools and tests that look inside.
    HeadFilters Filters() const;

private:
    Switches& switches_;
    const std::string settingsPath_;
    const std::string folder_;
    mutable GuardedLock lock_;
    ConfigFile config_;
    std::string currentVehicle_;
    // Counted under the lock, read without it by VehicleSince.
    std::atomic<std::uint32_t> vehicleChanges_{0};
    HeadFilters filters_;
};

}  // namespace velmora
