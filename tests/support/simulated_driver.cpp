#include "simulated_driver.h"

#include <type_traits>

extern "C" {
#include "common/host_os.h"
}

namespace velmora::test {

std::unique_ptr<SimulatedDriver> SimulatedDriver::Preload(const std::string& variant,
                                                          std::string& error) {
    char directory[4096];
    if (HostProgramDirectory(directory, sizeof directory) == 0) {
        error = "the program's directory is unknown";
        return nullptr;
    }
    // Joined with the separator the system gave the directory: LoadLibraryA wants backslashes.
    std::string path = directory;
    const char separator = path.back();
    path += variant + separator + HostDriverFileName();
    void* library = HostLoadLibrary(path.c_str());
    if (library == nullptr) {
        error = "cannot load " + path;
        return nullptr;
    }
    std::unique_ptr<SimulatedDriver> driver(new SimulatedDriver);
    error = path;
    bool complete = true;
    auto resolve = [&](const char* name, auto& entry) {
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(
            HostFindSymbol(library, name));
        if (entry == nullptr) {
            error += std::string(" lacks ") + name;
            complete = false;
        }
    };
    resolve("SimTrackerReset", driver->reset_);
    resolve("SimTrackerSetPose", driver->setPose_);
    resolve("SimTrackerPushReadings", driver->pushReadings_);
    resolve("SimTrackerSetOpenFailures", driver->setOpenFailures_);
    resolve("SimTrackerSetReadFailEvery", driver->setReadFailEvery_);
    resolve("SimTrackerFailNextReads", driver->failNextReads_);
    resolve("SimTrackerHangNextRead", driver->hangNextRead_);
    resolve("SimTrackerReleaseHang", driver->releaseHang_);
    resolve("SimTrackerHangAfterReads", driver->hangAfterReads_);
    resolve("SimTrackerGetCounters", driver->getCounters_);
    resolve("SimTrackerGetCallLog", driver->getCallLog_);
    if (!complete) {
        return nullptr;
    }
    error.clear();
    return driver;
}

void SimulatedDriver::PushReadings(std::span<const std::int32_t> values) const {
    pushReadings_(values.data(), static_cast<std::int32_t>(values.size() / 3));
}

SimTrackerCounters SimulatedDriver::Counters() const {
    SimTrackerCounters counters{};
    getCounters_(&counters);
    return counters;
}

std::string SimulatedDriver::CallLog() const {
    std::string log(static_cast<std::size_t>(getCallLog_(nullptr, 0)), '\0');
    getCallLog_(log.data(), static_cast<std::int32_t>(log.size() + 1));
    return log;
}

}  // namespace velmora::test
