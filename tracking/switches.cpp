#include "tracking/switches.h"

namespace velmora {
namespace {

void Store(std::atomic<bool>& flag, std::optional<bool> value) {
    if (value) {
        flag.store(*value, std::memory_order_relaxed);
    }
}

}  // namespace

void Switches::BeginSession() {
    SetEnabled(true);
    for (auto& direction : directions_) {
        direction.store(true, std::memory_order_relaxed);
    }
}

void Switches::Apply(const SwitchOverrides& switches) {
    Store(enabled_, switches.useTracker);
    Store(testMode_, switches.testMode);
    Store(useFiltering_, switches.useFiltering);
    Store(recordTrace_, switches.recordTrace);
}

void Switches::ApplyDirections(const DirectionOverrides& directions) {
    for (std::size_t i = 0; i < directions_.size(); ++i) {
        Store(directions_[i], directions[i]);
    }
}

}  // namespace velmora
