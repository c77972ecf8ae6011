#include "host/tracker_probe.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

extern "C" {
#include "common/host_os.h"
#include "simdriver/simulated_tracker.h"
}

namespace velmora::host {
namespace {

using GetCounters = decltype(&SimTrackerGetCounters);

template <class Function>
Function AsFunction(void* symbol) {
    Function function = nullptr;
    std::memcpy(&function, &symbol, sizeof function);
    return function;
}

// The simulated driver's counters; nothing from a driver without its test interface.
std::optional<SimTrackerCounters> ReadCounters(void* getCounters) {
    if (getCounters == nullptr) {
        return std::nullopt;
    }
    SimTrackerCounters counters{};
    AsFunction<GetCounters>(getCounters)(&counters);
    return counters;
}

template <class... Values>
std::string Format(const char* format, Values... values) {
    char text[120];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

// A path within the current folder from there ("bin/driver/IWEARDRV.DLL"), any other whole.
std::filesystem::path Shown(const std::string& path) {
    std::error_code error;
    const std::filesystem::path here = std::filesystem::current_path(error);
    const std::filesystem::path relative = std::filesystem::path(path).lexically_proximate(here);
    if (error || relative.empty() || relative.is_absolute() || *relative.begin() == "..") {
        return path;
    }
    return relative;
}

}  // namespace

bool TrackerProbe::Preload(const std::string& path,
                           const std::vector<std::pair<std::string, std::string>>& environment) {
    for (const auto& [name, value] : environment) {
        HostSetEnvironment(name.c_str(), value.c_str());
    }
    // Never unloaded: a read that hangs inside the driver may still be parked there at exit.
    void* library = HostLoadLibrary(path.c_str());
    Watch(library);
    return library != nullptr;
}

void TrackerProbe::FindPluginsDriver() {
    // Never let go either, like the preloaded one: a reference more keeps a driver the plug-in
    // unloads at Stop readable for the summary.
    Watch(HostFindLoadedLibrary(HostDriverFileName()));
}

void TrackerProbe::Watch(void* library) {
    library_ = library;
    path_.clear();
    usable_ = false;
    getState_ = nullptr;
    getCounters_ = nullptr;
    if (library == nullptr) {
        return;
    }
    char path[4096];
    if (HostLibraryPath(library, path, sizeof path)) {
        path_ = path;
    }
    usable_ = HostFindSymbol(library, "IWROpenTracker") != nullptr &&
              HostFindSymbol(library, "IWRGetTracking") != nullptr;
    getState_ = AsFunction<decltype(getState_)>(HostFindSymbol(library, "SimTrackerGetState"));
    getCounters_ = HostFindSymbol(library, "SimTrackerGetCounters");
}

std::string TrackerProbe::Found() const {
    if (library_ == nullptr) {
        return "none found: the camera will not move";
    }
    const std::filesystem::path path = Shown(path_);
    if (!usable_) {
        return path.string() +
               ", which lacks IWROpenTracker or IWRGetTracking: the camera will not move";
    }
    if (getState_ != nullptr) {
        return "simulated tracker (" + path.string() + ")";
    }
    const std::string folder = path.parent_path().string();
    return "a driver without the test interface, loaded from " +
           (folder.empty() ? std::string("the current folder") : folder);
}

std::string TrackerProbe::State() const {
    if (library_ == nullptr || !usable_) {
        return "none";
    }
    if (getState_ == nullptr) {
        return "loaded";
    }
    switch (getState_()) {
        case SimTrackerOpen:
            return "open";
        case SimTrackerFailing:
            return "failing";
        default:
            return "closed";
    }
}

std::string TrackerProbe::Detail() const {
    const auto c = ReadCounters(getCounters_);
    return c ? Format("opens %d  reads %d  closes %d  zero-sets %d", c->opens, c->reads, c->closes,
                      c->zeroSets)
             : "";
}

std::string TrackerProbe::Failures() const {
    const auto c = ReadCounters(getCounters_);
    return c ? Format("opens %d  reads %d%s", c->failedOpens, c->failedReads,
                      c->hungReads > 0 ? "  (a read hangs)" : "")
             : "";
}

std::vector<std::pair<std::string, std::int64_t>> TrackerProbe::Counters() const {
    const auto read = ReadCounters(getCounters_);
    if (!read) {
        return {};
    }
    const SimTrackerCounters& counters = *read;
    return {{"opens", counters.opens},
            {"failed_opens", counters.failedOpens},
            {"reads", counters.reads},
            {"failed_reads", counters.failedReads},
            {"closes", counters.closes},
            {"zero_sets", counters.zeroSets},
            {"calls_in_progress", counters.callsInProgress},
            {"hung_reads", counters.hungReads},
            {"is_open", counters.isOpen}};
}

}  // namespace velmora::host
