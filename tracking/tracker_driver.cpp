#include "tracking/tracker_driver.h"

#include <new>

namespace velmora {
namespace {

template <class Entry>
Entry Find(platform::ModuleHandle module, const char* name) {
    return reinterpret_cast<Entry>(platform::FindEntryPoint(module, name));
}

}  // namespace

std::shared_ptr<TrackerDriver> TrackerDriver::Load(const char* name) {
    platform::ModuleHandle module = platform::LoadLibraryByName(name);
    if (module == nullptr) {
        return nullptr;
    }
    auto* driver = new (std::nothrow) TrackerDriver(module);
    if (driver == nullptr) {
        platform::UnloadLibrary(module);
        return nullptr;
    }
    // Without an open or a read there is nothing to poll: such a library would be opened every
    // 100 ms for ever. It counts as no driver at all (the destructor unloads it).
    if (driver->open_ == nullptr || driver->getTracking_ == nullptr) {
        delete driver;
        return nullptr;
    }
    try {
        return std::shared_ptr<TrackerDriver>(driver);
    } catch (...) {
        // The shared pointer has deleted the driver, and so unloaded the library, before throwing.
        return nullptr;
    }
}

TrackerDriver::TrackerDriver(platform::ModuleHandle module)
    : module_(module),
      open_(Find<OpenTracker>(module, "IWROpenTracker")),
      close_(Find<CloseTracker>(module, "IWRCloseTracker")),
      zeroSet_(Find<ZeroSetTracker>(module, "IWRZeroSet")),
      getTracking_(Find<GetTrackingFn>(module, "IWRGetTracking")) {}

TrackerDriver::~TrackerDriver() {
    platform::UnloadLibrary(module_);
}

std::int32_t TrackerDriver::Open() const {
    return open_();
}

std::int32_t TrackerDriver::GetTracking(std::int32_t* yaw, std::int32_t* pitch,
                                        std::int32_t* roll) const {
    return getTracking_(yaw, pitch, roll);
}

void TrackerDriver::Close() const {
    if (close_ != nullptr) {
        close_();
    }
}

void TrackerDriver::ZeroSet() const {
    if (zeroSet_ != nullptr) {
        zeroSet_();
    }
}

}  // namespace velmora
