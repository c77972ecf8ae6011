#include "tracking/reload_timer.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace velmora {
namespace {

TEST(ReloadTimer, IsDueAtOnceThenOnlyOnceTheCountHasPassedAFullPeriodAcrossTheWrap) {
    struct Case {
        const char* what;
        std::uint32_t reloadedAt, now;
        bool due;
    };
    const Case cases[] = {
        {"one period later exactly", 5000, 6000, false},
        {"just past one period", 5000, 6001, true},
        // Scheduled close under the top: the due time wraps to 0x2E8.
        {"before the wrap", 0xFFFFFF00u, 0xFFFFFFFFu, false},
        {"after the wrap, early", 0xFFFFFF00u, 0x100u, false},
        {"after the wrap, due", 0xFFFFFF00u, 0x2E9u, true},
        // Due time 0xFFFFFFFF: a plain comparison would find no later count greater.
        {"stored time at the top, wrapped", 0xFFFFFC17u, 0u, true},
        // A count read just before the wrap is not taken as past a due time just after it.
        {"due just after the wrap, count just before", 0xFFFFFE00u, 0xFFFFFE10u, false},
        {"across the middle of the range", 0x7FFFFF00u, 0x800002E9u, true}};
    for (const std::uint32_t now : {0u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        EXPECT_TRUE(ReloadTimer().Due(now)) << "before the first reload, at " << now;
    }
    for (const Case& c : cases) {
        ReloadTimer timer;
        timer.Schedule(c.reloadedAt);
        EXPECT_EQ(timer.Due(c.now), c.due) << c.what;
    }
}

}  // namespace
}  // namespace velmora
