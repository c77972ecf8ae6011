#pragma once

#include <cstdint>
#include <memory>

#include "platform/platform.h"

namespace velmora {

// The tracker's vendor driver library with its four entry points, loaded for as long as this
// object lives. The entry points belong to the object rather than to the module, so two plug-in
// objects, or a thread still inside a call, never see them cleared under their feet.
class TrackerDriver {
public:
    // Loads the library by the system's search for `name`. Null when it cannot be loaded or lacks
    // IWROpenTracker or IWRGetTracking.
    static std::shared_ptr<TrackerDriver> Load(const char* name);
    ~TrackerDriver();
    TrackerDriver(const TrackerDriver&) = delete;
    TrackerDriver& operator=(const TrackerDriver&) = delete;

    // A missing IWRCloseTracker or IWRZeroSet is never called: Close and ZeroSet then do nothing.
    std::int32_t Open() const;
    std::int32_t GetTracking(std::int32_t* yaw, std::int32_t* pitch, std::int32_t* roll) const;
    void Close() const;
    void ZeroSet() const;

private:
    using OpenTracker = std::int32_t (*)();
    using CloseTracker = std::int32_t (*)();
    using ZeroSetTracker = std::int32_t (*)();
    using GetTrackingFn = std::int32_t (*)(std::int32_t*, std::int32_t*, std::int32_t*);

    explicit TrackerDriver(platform::ModuleHandle module);

    platform::ModuleHandle module_;
    OpenTracker open_ = nullptr;
    CloseTracker close_ = nullptr;
    ZeroSetTracker zeroSet_ = nullptr;
    GetTrackingFn getTracking_ = nullptr;
};

}  // namespace velmora
