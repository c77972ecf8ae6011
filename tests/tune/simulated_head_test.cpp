// The simulated driving head and the tracker that measures it, measured from the outside against
// what they were asked for; and the truth beside the readings, recorded and read back.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "handout_recording.h"
#include "plugin_under_test.h"
#include "sensor_model.h"
#include "trace_file.h"

namespace velmora::testing {
namespace {

using sim::DrivingMotion;
using sim::HeadMove;
using sim::PoseDegrees;

double Distance(const PoseDegrees& a, const PoseDegrees& b) {
    return std::hypot(a.yaw - b.yaw, a.pitch - b.pitch, a.roll - b.roll);
}

// Half an hour at 100 Hz, measured from the true pose; the schedule only says where to look.
TEST(DrivingMotion, GlancesReachTheirSizesAndSpeedsLeansTheirTiltAndTheHeadIsMostlyStill) {
    constexpr double kStep = 0.01;
    constexpr double kSeconds = 1800.0;
    DrivingMotion motion(11);
    std::vector<PoseDegrees> head;
    for (int i = 0; i < 180000; ++i) {
        head.push_back(motion.At(i * kStep));
    }
    const auto at = [&](double t) {
        return head[static_cast<std::size_t>(std::lround(t / kStep))];
    };
    std::vector<bool> resting(head.size(), true);
    std::vector<double> glances, leans;
    double worstSize = 0, worstPeak = 0, apexYaw = 0, cornersLookedOutOf = 0;
    for (const HeadMove& move : motion.Moves(0.0, kSeconds)) {
        for (double t = move.start; t < move.End() && t < kSeconds; t += kStep) {
            resting[static_cast<std::size_t>(t / kStep)] = false;
        }
        const PoseDegrees from = at(move.start);
        const PoseDegrees to = at(move.Settled());
        if (!move.IsGlance()) {
            // Its corner's apex glance came before it, into the corner, as the lean tilts.
            cornersLookedOutOf += apexYaw == 0 || (apexYaw > 0) == (move.offset.roll > 0);
            apexYaw = 0;
            leans.push_back(std::abs(to.roll - from.roll));
            continue;
        }
        apexYaw = move.kind == sim::MoveKind::Apex ? move.offset.yaw : apexYaw;
        glances.push_back(std::abs(to.yaw - from.yaw));
        worstSize = std::max(worstSize, std::abs(to.yaw - from.yaw - move.offset.yaw));
        double peak = 0.0;
        for (double t = move.start; t < move.Settled(); t += kStep) {
            peak = std::max(peak, Distance(at(t + kStep), at(t)) / kStep);
        }
        worstPeak = std::max(worstPeak, std::abs(peak / move.PeakSpeed() - 1.0));
    }
    const auto [smallest, largest] = std::minmax_element(glances.begin(), glances.end());
    const auto [leastLean, mostLean] = std::minmax_element(leans.begin(), leans.end());
    double still = 0, fastest = 0, wander = 0, shake = 0, crossings = 0, rest = 0, last = 0;
    for (std::size_t i = 13; i + 13 < head.size(); ++i) {
        const double speed = Distance(head[i + 1], head[i]) / kStep;
        still += speed < 5.0;
        fastest = std::max(fastest, speed);
        if (!resting[i]) {
            continue;
        }
        // The road's shake: the pitch about its own quarter-second mean.
        double mean = 0.0;
        for (std::size_t j = i - 12; j <= i + 12; ++j) {
            mean += head[j].pitch / 25.0;
        }
        const double residual = head[i].pitch - mean;
        rest += 1;
        shake += residual * residual;
        crossings += residual * last < 0.0;
        last = residual;
        wander = std::max(wander, std::abs(head[i].yaw));
    }
    const std::tuple<const char*, double, double, double> properties[] = {
        {"share of time turning slower than 5 deg/s", still / static_cast<double>(head.size()), 0.8,
         0.97},
        {"glances a minute", static_cast<double>(glances.size()) / 30.0, 4.0, 10.0},
        {"smallest glance (deg of yaw)", *smallest, 19.0, 25.0},
        {"largest glance (deg of yaw)", *largest, 62.0, 71.0},
        {"worst glance against its schedule (deg)", worstSize, 0.0, 0.5},
        {"fastest turn (deg/s)", fastest, 280.0, 310.0},
        {"worst glance peak speed against its schedule (share)", worstPeak, 0.0, 0.03},
        {"corners without an apex glance into them", cornersLookedOutOf, 0.0, 0.0},
        {"smallest lean (deg of roll)", *leastLean, 1.5, 3.0},
        {"largest lean (deg of roll)", *mostLean, 4.0, 5.5},
        {"largest wander at rest (deg of yaw)", wander, 0.2, 1.0},
        {"road shake at rest (RMS deg of pitch)", std::sqrt(shake / rest), 0.01, 0.05},
        {"road shake's frequency (Hz)", crossings / 2.0 / (rest * kStep), 4.0, 12.0},
    };
    for (const auto& [name, measured, low, high] : properties) {
        EXPECT_GE(measured, low) << name;
        EXPECT_LE(measured, high) << name;
    }
    // Any moment, asked for again, in any order, by another instance: the same pose.
    DrivingMotion again(11);
    for (const int i : {123456, 789, 179900}) {
        EXPECT_EQ(Distance(again.At(i * kStep), head[i]), 0.0) << i;
    }
    EXPECT_GT(Distance(DrivingMotion(12).At(789 * kStep), head[789]), 0.0);
}

// Ten minutes polled every 10 ms, recorded with the truth and read back; each sample's error
// against the head when it was taken.
TEST(SensorModel, NoiseSpikesUpdateRateAndStepAreWhatWasAskedAndRecordAndReadBackExactly) {
    const sim::SensorOptions cases[] = {
        {60.0, 0.02, 0.0, 0.0, 0.0, 1},
        {60.0, 0.3, 2.0, 5.0, 0.0, 2},
        {30.0, 1.0, 0.5, 10.0, 0.0, 3},
        {120.0, 0.1, 0.0, 0.0, 0.1, 4},
    };
    const auto path = std::filesystem::temp_directory_path() / "velmora-handouts.csv";
    for (const sim::SensorOptions& asked : cases) {
        SCOPED_TRACE(asked.updateHz);
        DrivingMotion motion(5);
        const auto polls = sim::PollDriving(motion, sim::SensorModel(asked), 600.0);
        {
            sim::HandoutRecording recording(path.string(), true);
            for (const sim::DrivingPoll& poll : polls) {
                recording.Record(poll.reading, poll.truth);
            }
        }
        std::string error;
        const auto trace = sim::ReadTraceFile(path.string(), sim::TraceUnits::FromHeader, error);
        ASSERT_TRUE(trace && trace->rawUnits && trace->rows.size() == polls.size()) << error;
        double fresh = 0, spikes = 0, squares = 0, offStep = 0, unheld = 0, worst = 0;
        for (std::size_t i = 0; i < polls.size(); ++i) {
            const sim::DrivingPoll& poll = polls[i];
            const sim::TraceRow& row = trace->rows[i];
            ASSERT_TRUE(std::memcmp(&row.pose, &poll.reading, sizeof row.pose) == 0 && row.truth &&
                        Distance(*row.truth, poll.truth) <= 1e-6)
                << "row " << i;
            if (!poll.fresh) {
                unheld += std::memcmp(&row.pose, &trace->rows[i - 1].pose, sizeof row.pose) != 0;
                continue;
            }
            fresh += 1;
            const double error = Distance(sim::InDegrees(row.pose), motion.At(poll.sampledAt));
            offStep += asked.quantumDegrees > 0 &&
                       std::abs(std::remainder(raw_angle::RawToDegrees(row.pose.pitch),
                                               asked.quantumDegrees)) > 0.003;
            // A spike is off by its size, give or take the noise; nothing else is that far off.
            worst = std::max(worst, poll.spike ? std::abs(error - asked.spikeDegrees) : error);
            spikes += poll.spike;
            squares += poll.spike ? 0.0 : error * error;
        }
        EXPECT_NEAR(fresh / static_cast<double>(polls.size()), std::min(1.0, asked.updateHz / 100),
                    0.01);
        EXPECT_EQ(unheld, 0) << "a reading changed between the tracker's updates";
        // The noise, and a coarser step's own rounding error, q / sqrt(12).
        const double rms = std::hypot(asked.noiseDegrees, asked.quantumDegrees / std::sqrt(12.0));
        EXPECT_NEAR(std::sqrt(squares / 3.0 / (fresh - spikes)), rms, rms * 0.05);
        EXPECT_NEAR(spikes / 600.0, asked.spikesPerSecond, asked.spikesPerSecond * 0.15);
        EXPECT_LT(worst, 6.0 * asked.noiseDegrees + 0.06);
        EXPECT_EQ(offStep, 0);
    }
}

// The simulated driver reads its environment as it loads: this runs in a process of its own, with
// the driving motion and a recording asked for (see CMakeLists.txt). A Reset re-zeroes the
// tracker in mid-drive, and the truth must move with it.
TEST(DrivingDriver, RecordsTheTruthBesideEachReadingSeenFromTheSameZero) {
    const char* path = std::getenv("VELMORA_SIM_RECORD");
    if (path == nullptr) {
        GTEST_SKIP() << "runs as the test tune_driving_driver";
    }
    std::string error;
    const auto driver = test::SimulatedDriver::Preload("driver", error);
    ASSERT_NE(driver, nullptr) << error;
    PluginUnderTest plugin("");
    plugin.Start();
    ASSERT_TRUE(test::WaitUntil([&] { return driver->Counters().reads >= 100; }));
    plugin.Reset();
    ASSERT_TRUE(test::WaitUntil([&] { return driver->Counters().reads >= 300; }));
    plugin.Stop();
    const auto trace = sim::ReadTraceFile(path, sim::TraceUnits::FromHeader, error);
    ASSERT_TRUE(trace && trace->HasTruth()) << error;
    // Without noise, a reading is the head of up to one update before: off by a hundredth of a
    // degree at rest, as the head mostly is. A zero taken off one and not the other is more.
    const auto close = std::count_if(trace->rows.begin(), trace->rows.end(), [](const auto& row) {
        return Distance(sim::InDegrees(row.pose), *row.truth) < 0.03;
    });
    EXPECT_GT(static_cast<double>(close), 0.7 * static_cast<double>(trace->rows.size()));
}

}  // namespace
}  // namespace velmora::testing
