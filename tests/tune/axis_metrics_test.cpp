// The metrics on synthetic motion whose answers are known, on parts of a trace, and on a real
// trace whose sampling phase is shifted.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "axis_metrics.h"
#include "tuning_run.h"

extern "C" {
#include "host_os.h"
}

namespace velmora::tune {
namespace {

// Rests of 1.5 s between 0.5 s sweeps of 30°, back and forth: one reading per 10 ms.
std::vector<double> SweepsAndRests(int sweeps) {
    std::vector<double> degrees;
    double at = 0.0;
    for (int sweep = 0; sweep < sweeps; ++sweep) {
        degrees.insert(degrees.end(), 150, at);
        const double to = sweep % 2 == 0 ? 30.0 : 0.0;
        for (int i = 1; i <= 50; ++i) {
            // Smooth in and out, as a head turns.
            degrees.push_back(at + (to - at) * (1.0 - std::cos(std::numbers::pi * i / 50.0)) / 2.0);
        }
        at = to;
    }
    degrees.insert(degrees.end(), 150, at);
    return degrees;
}

// The input `readings` later, read between two readings where the delay is not whole.
std::vector<double> Delayed(const std::vector<double>& input, double readings) {
    std::vector<double> output(input.size());
    for (std::size_t i = 0; i < input.size(); ++i) {
        const double at = std::max(static_cast<double>(i) - readings, 0.0);
        const auto before = static_cast<std::size_t>(at);
        const double fraction = at - static_cast<double>(before);
        output[i] = input[before] + fraction * (input[std::min(before + 1, i)] - input[before]);
    }
    return output;
}

TEST(AxisMetrics, APureDelayMeasuresAsThatLagToAFractionOfAReading) {
    const std::vector<double> input = SweepsAndRests(6);
    const MotionStretches stretches = MotionStretches::Find(input);
    ASSERT_EQ(stretches.moving.size(), 6u);
    for (double delay : {0.0, 2.5, 3.0, 7.3, 12.0, 40.0}) {
        const auto lag = LagInMotion(input, Delayed(input, delay), stretches.moving);
        ASSERT_TRUE(lag);
        EXPECT_NEAR(*lag, 10.0 * delay, 1.0) << delay;
    }
}

TEST(AxisMetrics, WhiteNoiseOnAStillHeadMeasuresAsItsRms) {
    const std::vector<double> input(2000, 10.0);
    const MotionStretches stretches = MotionStretches::Find(input);
    ASSERT_EQ(stretches.still.size(), 1u);
    EXPECT_TRUE(stretches.moving.empty());
    std::mt19937 random(7);
    for (double rms : {0.05, 0.2, 1.0}) {
        std::normal_distribution<double> noise(0.0, rms);
        std::vector<double> output(input.size());
        for (double& value : output) {
            value = 10.0 + noise(random);
        }
        const auto jitter = JitterAtRest(output, stretches.still);
        ASSERT_TRUE(jitter);
        // The half-second average takes a fiftieth of the noise with it.
        EXPECT_NEAR(*jitter, rms, rms * 0.06) << rms;
    }
}

TEST(AxisMetrics, ASmoothOutputOfAStillHeadHasNoJitterAndNoRestNoJitterAtAll) {
    const std::vector<double> still(500, -3.0);
    EXPECT_DOUBLE_EQ(*JitterAtRest(still, MotionStretches::Find(still).still), 0.0);
    std::vector<double> turning(500);
    for (std::size_t i = 0; i < turning.size(); ++i) {
        turning[i] = 0.5 * static_cast<double>(i);  // 50°/s throughout
    }
    EXPECT_FALSE(JitterAtRest(turning, MotionStretches::Find(turning).still));
}

// A step of the head and a camera that swings past it by `swing` before settling.
struct StepCase {
    double from;
    double to;
    double cameraSwing;
    double headSwing;
    double overshoot;
};

std::vector<double> Step(double from, double to, double swing) {
    std::vector<double> degrees(200, from);
    const double direction = to > from ? 1.0 : -1.0;
    for (int i = 1; i <= 20; ++i) {
        degrees.push_back(from + (to + direction * swing - from) * i / 20.0);
    }
    for (int i = 1; i <= 20; ++i) {
        degrees.push_back(to + direction * swing * (1.0 - i / 20.0));
    }
    degrees.insert(degrees.end(), 200, to);
    return degrees;
}

TEST(AxisMetrics, OvershootIsHowFarTheCameraSwingsPastMoreThanTheHead) {
    const StepCase cases[] = {
        {0.0, 10.0, 0.0, 0.0, 0.0},  // a clean step
        {0.0, 10.0, 2.0, 0.0, 2.0},  // the camera swings 2° past
        {10.0, 0.0, 1.5, 0.0, 1.5},  // and the other way
        {0.0, 20.0, 3.0, 3.0, 0.0},  // the head swings past itself: the camera adds nothing
        {0.0, 20.0, 5.0, 3.0, 2.0},
    };
    for (const StepCase& c : cases) {
        const std::vector<double> input = Step(c.from, c.to, c.headSwing);
        const std::vector<double> output = Step(c.from, c.to, c.cameraSwing);
        const MotionStretches stretches = MotionStretches::Find(input);
        ASSERT_FALSE(stretches.moving.empty());
        EXPECT_NEAR(Overshoot(input, output, stretches), c.overshoot, 1e-9)
            << c.from << " to " << c.to << ", camera " << c.cameraSwing << ", head " << c.headSwing;
    }
}

TEST(AxisMetrics, AJumpOfAWholeTurnIsLeftOutOfEveryMetric) {
    // A head resting past -360° as the filter stores it, then the stored reading jumps back a
    // turn while the head itself rests on; the camera follows in five steps of 72°.
    std::vector<double> input(300, -359.0);
    input.insert(input.end(), 300, 1.0);
    std::vector<double> output = input;
    for (int i = 0; i < 5; ++i) {
        output[300 + i] = -359.0 + 72.0 * (i + 1);
    }
    const MotionStretches stretches = MotionStretches::Find(input);
    ASSERT_EQ(stretches.leftOut.size(), 1u);
    EXPECT_TRUE(stretches.moving.empty());
    EXPECT_TRUE(stretches.LeftOut(300));
    EXPECT_FALSE(stretches.LeftOut(200));
    const AxisMetrics metrics = AxisMetrics::Measure(input, output, stretches);
    EXPECT_DOUBLE_EQ(metrics.largestStepsDegrees, 0.0);
    EXPECT_DOUBLE_EQ(*metrics.jitterDegrees, 0.0);
    EXPECT_DOUBLE_EQ(metrics.overshootDegrees, 0.0);
}

TEST(AxisMetrics, MeasuredWithinSomeBlocksTheyCannotSeeTheReadingsOutside) {
    // What --suggest reports on the half it did not choose on rests on this.
    const std::vector<double> input = SweepsAndRests(12);
    const std::vector<double> output = Delayed(input, 3.0);
    const MotionStretches whole = MotionStretches::Find(input);
    const std::vector<Stretch> blocks = {{0, 700}, {1400, 2100}};
    const MotionStretches part = whole.Within(blocks, input.size());
    ASSERT_FALSE(part.still.empty());
    ASSERT_FALSE(part.moving.empty());
    std::vector<double> spoilt = output;
    std::mt19937 random(3);
    std::uniform_real_distribution<double> wild(-90.0, 90.0);
    for (std::size_t i = 0; i < spoilt.size(); ++i) {
        const bool inside = std::any_of(blocks.begin(), blocks.end(), [&](const Stretch& b) {
            return b.begin <= i && i < b.end;
        });
        if (!inside) {
            spoilt[i] = wild(random);
        }
    }
    const AxisMetrics clean = AxisMetrics::Measure(input, output, part);
    const AxisMetrics measured = AxisMetrics::Measure(input, spoilt, part);
    EXPECT_EQ(measured.jitterDegrees, clean.jitterDegrees);
    EXPECT_EQ(measured.lagMilliseconds, clean.lagMilliseconds);
    EXPECT_EQ(measured.overshootDegrees, clean.overshootDegrees);
    EXPECT_EQ(measured.largestStepsDegrees, clean.largestStepsDegrees);
    EXPECT_NEAR(*clean.lagMilliseconds, 30.0, 0.5);
}

// The same head, the tracker's readings landing at other moments between the polls: the profile's
// numbers must not move with them. (The single largest step moved from 8.64° to 7.48° or 9.51°.)
TEST(AxisMetrics, TheStepsAndTheLagOfAProfileHoldWhenTheSamplingPhaseShifts) {
    char directory[4096];
    ASSERT_NE(HostProgramDirectory(directory, sizeof directory), 0);
    const std::filesystem::path folder(directory);
    std::ifstream source(folder / "traces" / "user1.csv");
    std::vector<std::string> lines;
    for (std::string line; std::getline(source, line);) {
        lines.push_back(line);
    }
    ASSERT_GT(lines.size(), 1000u);
    const auto config = std::filesystem::temp_directory_path() / "velmora-phase-calm.cfg";
    std::ofstream(config) << "[General Filter]\nYaw OffsetFrame = 1\nPitch OffsetFrame = 1\n"
                             "Roll OffsetFrame = 1\n";
    std::vector<std::array<AxisMetrics, 3>> shifted;
    for (std::size_t dropped = 0; dropped <= 3; ++dropped) {
        const auto path = std::filesystem::temp_directory_path() / "velmora-phase.csv";
        {
            std::ofstream trace(path);
            trace << lines[0] << "\n";
            for (std::size_t i = 1 + dropped; i < lines.size(); ++i) {
                trace << lines[i] << "\n";
            }
        }
        std::string error;
        auto trace = LoadPolledTrace(path.string(), TraceUnits::FromHeader, error);
        std::filesystem::remove(path);
        ASSERT_TRUE(trace) << error;
        const TuningRun run = TuningRun::Replay(std::move(*trace), {{config.string(), "", ""}});
        shifted.push_back(run.profiles.front().metrics);
    }
    std::filesystem::remove(config);
    for (std::size_t axis = 0; axis < 3; ++axis) {
        for (const auto& metrics : shifted) {
            const AxisMetrics& first = shifted.front()[axis];
            EXPECT_NEAR(metrics[axis].largestStepsDegrees, first.largestStepsDegrees,
                        first.largestStepsDegrees * 0.05)
                << kAxisNames[axis];
            EXPECT_NEAR(*metrics[axis].lagMilliseconds, *first.lagMilliseconds, 2.0)
                << kAxisNames[axis];
        }
    }
}

}  // namespace
}  // namespace velmora::tune
