#include "host/tracker_probe.h"

#include <cstdio>
#include <cstring>
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

}  // namespace

bool TrackerProbe::Load(const std::string& path,
                        const std::vector<std::pair<std::string, std::string>>& environment) {
    for (const auto& [name, value] : environment) {
        HostSetEnvironment(name.c_str(), value.c_str());
    }
    // Never unloaded: a read that hangs inside the driver may still be parked there at exit.
    library_ = HostLoadLibrary(path.c_str());
    if (library_ == nullptr) {
        return false;
    }
    getState_ = AsFunction<decltype(getState_)>(HostFindSymbol(library_, "SimTrackerGetState"));
    getCounters_ = HostFindSymbol(library_, "SimTrackerGetCounters");
    return true;
}

std::string TrackerProbe::State() const {
    if (library_ == nullptr) {
        return "missing";
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
