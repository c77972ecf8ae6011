#include "tracking/reload_timer.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <string>

namespace velmora {
namespace {

TEST(ReloadTimer, IsDueAtOnceBeforeTheFirstReloadWhateverTheTickCount) {
    for (std::uint32_t now : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        EXPECT_TRUE(ReloadTimer().Due(now)) << now;
    }
}

struct DueCase {
    const char* what;
    std::uint32_t reloadedAt;
    std::uint32_t now;
    bool due;
};

class ReloadTimerAfterAReload : public testing::TestWithParam<DueCase> {};

TEST_P(ReloadTimerAfterAReload, IsDueOnlyOnceTheCountHasPassedAFullPeriod) {
    ReloadTimer timer;
    timer.Schedule(GetParam().reloadedAt);
    EXPECT_EQ(timer.Due(GetParam().now), GetParam().due);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReloadTimerAfterAReload,
    testing::Values(
        DueCase{"the same tick", 5000, 5000, false},
        DueCase{"one period later exactly", 5000, 6000, false},
        DueCase{"just past one period", 5000, 6001, true}, DueCase{"long past", 5000, 90000, true},
        // Scheduled close under the top: the due time wraps to 0x2E8.
        DueCase{"before the wrap", 0xFFFFFF00u, 0xFFFFFFFFu, false},
        DueCase{"after the wrap, early", 0xFFFFFF00u, 0x100u, false},
        DueCase{"after the wrap, due", 0xFFFFFF00u, 0x2E9u, true},
        // Due time 0xFFFFFFFF: a plain comparison would find no later count greater.
        DueCase{"stored time at the top, not yet", 0xFFFFFC17u, 0xFFFFFFFFu, false},
        DueCase{"stored time at the top, wrapped", 0xFFFFFC17u, 0u, true},
        // A count read just before the wrap is not taken as past a due time just after it.
        DueCase{"due just after the wrap, count just before", 0xFFFFFE00u, 0xFFFFFE10u, false},
        DueCase{"across the middle of the range", 0x7FFFFF00u, 0x800002E9u, true}),
    [](const testing::TestParamInfo<DueCase>& info) {
        std::string name = info.param.what;
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) {
                c = '_';
            }
        }
        return name;
    });

}  // namespace
}  // namespace velmora
