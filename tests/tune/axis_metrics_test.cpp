// The metrics on synthetic motion whose answers are known.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "axis_metrics.h"

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

std::vector<double> Delayed(const std::vector<double>& input, std::size_t readings) {
    std::vector<double> output(input.size());
    for (std::size_t i = 0; i < input.size(); ++i) {
        output[i] = input[i >= readings ? i - readings : 0];
    }
    return output;
}

TEST(AxisMetrics, APureDelayMeasuresAsThatLag) {
    const std::vector<double> input = SweepsAndRests(6);
    const MotionStretches stretches = MotionStretches::Find(input);
    ASSERT_EQ(stretches.moving.size(), 6u);
    for (std::size_t delay : {0u, 3u, 12u, 40u}) {
        const auto lag = LagInMotion(input, Delayed(input, delay), stretches.moving);
        ASSERT_TRUE(lag);
        EXPECT_DOUBLE_EQ(*lag, 10.0 * static_cast<double>(delay)) << delay;
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
    ASSERT_EQ(stretches.fullTurns.size(), 1u);
    EXPECT_TRUE(stretches.moving.empty());
    EXPECT_TRUE(stretches.InFullTurn(300));
    EXPECT_FALSE(stretches.InFullTurn(200));
    const AxisMetrics metrics = AxisMetrics::Measure(input, output, stretches);
    EXPECT_DOUBLE_EQ(metrics.largestStepDegrees, 0.0);
    EXPECT_DOUBLE_EQ(*metrics.jitterDegrees, 0.0);
    EXPECT_DOUBLE_EQ(metrics.overshootDegrees, 0.0);
}

}  // namespace
}  // namespace velmora::tune
