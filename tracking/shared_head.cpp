#include "tracking/shared_head.h"

#include "config/settings_file.h"
#include "tracking/settings_load.h"

namespace velmora {
namespace {

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
    if (!settingsPath_.empty()) {
        // Read before the lock is taken: only the parsing and applying need it.
        ApplySettings(ReadSettingsFile(settingsPath_).value_or(std::string()));
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
