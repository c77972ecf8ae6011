#include "tracking/reload_timer.h"

namespace velmora {

bool ReloadTimer::Due(std::uint32_t now) const {
    return !scheduled_ || static_cast<std::int32_t>(now - next_) > 0;
}

void ReloadTimer::Schedule(std::uint32_t now) {
    next_ = now + Period;
    scheduled_ = true;
}

}  // namespace velmora
