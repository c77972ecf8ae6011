#include "tracking/shared_head.h"

#include <atomic>
#include <memory>
#include <optional>

#include "config/settings_file.h"
#include "platform/platform.h"
#include "tracking/settings_load.h"
#include "tracking/worker_thread.h"

namespace velmora {
namespace {

// Start and Reset read the file on the game's thread. A file on a network share that dropped, one
// a sync tool fetches on demand, or a pipe in its place could hold that read for as long as it
// likes; so the read runs on a thread of its own, which the game's thread waits for this long at
// most (a disk that must spin up answers well within it) and then gives up, never ends (see
// WorkerThread), leaving the settings as they stand.
constexpr std::uint32_t kSettingsReadWait = 3000;

// Shared by the game's thread and the reading thread, and kept alive by both: a reading thread
// given up may finish long after LoadSettings has returned.
struct SettingsRead {
    explicit SettingsRead(std::string file) : path(std::move(file)) {}
    const std::string path;
    std::optional<std::string> bytes;  // the reading thread's, until done is set
    std::atomic<bool> done{false};
};

std::uint32_t ReadSettings(void* argument, ThreadContext& context) {
    auto& read = *static_cast<SettingsRead*>(argument);
    std::optional<std::string> bytes;
    if (!context.FileWork([&] {
            try {
                bytes = ReadSettingsFile(read.path);
            } catch (...) {
                // Out of memory: read as no file at all.
            }
        })) {
        return 0;
    }
    read.bytes = std::move(bytes);
    read.done.store(true, std::memory_order_release);
    return 0;
}

// The file's bytes (nothing when it cannot be read), or nothing at all when the read took longer
// than kSettingsReadWait.
std::optional<std::optional<std::string>> ReadWithinWait(const std::string& path) {
    const auto read = std::make_shared<SettingsRead>(path);
    WorkerThread thread(ReadSettings, read.get(), read);
    if (!thread.Made()) {
        return ReadSettingsFile(path);
    }
    const std::uint32_t start = platform::TickCount();
    while (!read->done.load(std::memory_order_acquire)) {
        if (platform::TickCount() - start >= kSettingsReadWait) {
            return std::nullopt;
        }
        platform::Sleep(1);
    }
    return std::move(read->bytes);
}

std::string FolderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    if (separator == std::string::npos) {
        return path.empty() ? "" : "./";
    }
    return path.substr(0, separator + 1);
}

}  // namespace

SharedHead::SharedHead(Switches& switches, std::string settingsPath)
    : switches_(switches),
      settingsPath_(std::move(settingsPath)),
      folder_(FolderOf(settingsPath_)) {}

void SharedHead::AddReading(const Reading& reading) {
    LockHold hold(lock_);
    if (hold.Held()) {
        filters_.Add(reading);
    }
}

bool SharedHead::Outputs(Reading& outputs) const {
    LockHold hold(lock_);
    if (hold.Held()) {
        outputs = filters_.Outputs();
    }
    return hold.Held();
}

void SharedHead::LoadSettings() {
    if (settingsPath_.empty()) {
        return;
    }
    // Read before the lock is taken: only the parsing and applying need it.
    if (const auto bytes = ReadWithinWait(settingsPath_)) {
        ApplySettings(bytes->value_or(std::string()));
    }
}

void SharedHead::ApplySettings(std::string_view text) {
    LockHold hold(lock_);
    if (!hold.Held()) {
        return;
    }
    config_.Parse(text);
    ApplyLoad(config_, currentVehicle_, switches_, filters_);
}

void SharedHead::BeginSession() {
    switches_.BeginSession();
    LoadSettings();
}

void SharedHead::BeginSession(std::string_view text) {
    switches_.BeginSession();
    ApplySettings(text);
}

bool SharedHead::ChangeVehicle(std::string_view name) {
    LockHold hold(lock_);
    if (!hold.Held() || name == currentVehicle_) {
        return false;
    }
    currentVehicle_.assign(name);
    vehicleChanges_.fetch_add(1, std::memory_order_relaxed);
    ApplyVehicleChange(config_, currentVehicle_, switches_, filters_);
    return true;
}

bool SharedHead::VehicleSince(std::uint32_t& seen, std::string& name) const {
    if (vehicleChanges_.load(std::memory_order_relaxed) == seen) {
        return false;
    }
    LockHold hold(lock_);
    if (!hold.Held()) {
        return false;
    }
    name.assign(currentVehicle_);
    seen = vehicleChanges_.load(std::memory_order_relaxed);
    return true;
}

HeadFilters SharedHead::Filters() const {
    LockHold hold(lock_);
    return filters_;
}

}  // namespace velmora
