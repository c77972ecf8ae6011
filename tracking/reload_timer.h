#pragma once

#include <cstdint>

namespace velmora {

// When a once-a-second task of the polling thread is due (the test-mode settings reload, the
// trace recorder's write), on the 32-bit millisecond tick count.
//
// The count wraps every 49.7 days, so times are compared by their signed difference: a reload
// scheduled just before the wrap falls due just after it, and one scheduled just after the wrap is
// not taken as long overdue by a count read just before it. The first query is due at once,
// whatever the count reads.
class ReloadTimer {
public:
    static constexpr std::uint32_t Period = 1000;

    // True when `now` is later than the scheduled time, or nothing has been scheduled yet.
    bool Due(std::uint32_t now) const;
    // The next reload falls due once the count has passed now + Period.
    void Schedule(std::uint32_t now);

private:
    std::uint32_t next_ = 0;
    bool scheduled_ = false;
};

}  // namespace velmora
