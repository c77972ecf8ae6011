#include "drivers/udp/pose_keeper.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velmora::udp {
namespace {

std::int32_t Raw(double degrees) {
    return static_cast<std::int32_t>(std::lround(degrees * 65536.0 / 360.0));
}

SenderPose Angles(double yaw, double pitch, double roll) {
    return SenderPose{0.0, 0.0, 0.0, yaw, pitch, roll};
}

void ExpectReading(const std::optional<RawReading>& reading, std::int32_t yaw, std::int32_t pitch,
                   std::int32_t roll) {
    ASSERT_TRUE(reading.has_value());
    EXPECT_EQ(reading->yaw, yaw);
    EXPECT_EQ(reading->pitch, pitch);
    EXPECT_EQ(reading->roll, roll);
}

// The plug-in answers "Camera_YawLeft" for positive raw yaw, "Camera_PitchUp" for positive raw
// pitch and "Camera_RollRight" for positive raw roll. The sender counts yaw positive to the right.
TEST(PoseKeeper, TheSendersTurnLeftLookUpAndTiltRightGiveTheRawSignsThePluginExpects) {
    PoseKeeper keeper;
    keeper.Accept(Angles(-30.0, 20.0, 10.0), 1000);  // left, up, tilted right
    ExpectReading(keeper.Read(1000), Raw(30.0), Raw(20.0), Raw(10.0));
    keeper.Accept(Angles(30.0, -20.0, -10.0), 1001);  // right, down, tilted left
    ExpectReading(keeper.Read(1001), Raw(-30.0), Raw(-20.0), Raw(-10.0));
}

TEST(PoseKeeper, NothingIsReadBeforeTheFirstPoseOrAfterForget) {
    PoseKeeper keeper;
    EXPECT_FALSE(keeper.Read(0).has_value());
    EXPECT_FALSE(keeper.Read(100000).has_value());
    keeper.Accept(Angles(1.0, 2.0, 3.0), 5);
    EXPECT_TRUE(keeper.Read(5).has_value());
    keeper.Forget();
    EXPECT_FALSE(keeper.Read(5).has_value());
}

TEST(PoseKeeper, APoseOlderThanTheStalenessLimitIsNotRead) {
    BridgeSettings settings;
    settings.stalenessMs = 300;
    PoseKeeper keeper;
    keeper.Configure(settings);
    keeper.Accept(Angles(10.0, 0.0, 0.0), 1000);
    EXPECT_TRUE(keeper.Read(1000).has_value());
    EXPECT_TRUE(keeper.Read(1300).has_value()) << "exactly at the limit";
    EXPECT_FALSE(keeper.Read(1301).has_value());
    keeper.Accept(Angles(10.0, 0.0, 0.0), 1400);
    EXPECT_TRUE(keeper.Read(1401).has_value()) << "fresh again";
    EXPECT_TRUE(keeper.Read(900).has_value()) << "a clock that went back is no age";
}

TEST(PoseKeeper, TheDefaultStalenessIsHalfASecond) {
    PoseKeeper keeper;
    keeper.Accept(Angles(10.0, 0.0, 0.0), 0);
    EXPECT_TRUE(keeper.Read(500).has_value());
    EXPECT_FALSE(keeper.Read(501).has_value());
}

TEST(PoseKeeper, ZeroingMakesTheCurrentPoseTheCentreAndKeepsItAcrossAForget) {
    PoseKeeper keeper;
    keeper.Accept(Angles(170.0, -20.0, 5.0), 0);
    keeper.RequestZero();
    ExpectReading(keeper.Read(1), 0, 0, 0);
    // 20 degrees further right crosses the sender's +-180 seam: still 20 degrees to the right.
    keeper.Accept(Angles(-170.0, -10.0, 0.0), 2);
    ExpectReading(keeper.Read(2), Raw(-20.0), Raw(10.0), Raw(-5.0));
    keeper.Forget();
    keeper.Accept(Angles(170.0, -20.0, 5.0), 3);
    ExpectReading(keeper.Read(3), 0, 0, 0);
}

// A reset pressed while the sender is quiet (or before it ever sent) centres on the pose that
// comes when it resumes, not on the stale one, and is not lost.
TEST(PoseKeeper, AZeroRequestWithNoFreshPoseWaitsForTheNextPose) {
    BridgeSettings settings;
    settings.stalenessMs = 100;
    PoseKeeper keeper;
    keeper.Configure(settings);
    keeper.RequestZero();
    EXPECT_FALSE(keeper.Read(0).has_value());
    keeper.Accept(Angles(30.0, 0.0, 0.0), 10);
    ExpectReading(keeper.Read(10), 0, 0, 0);

    keeper.Accept(Angles(50.0, 0.0, 0.0), 20);
    keeper.RequestZero();
    EXPECT_FALSE(keeper.Read(500).has_value()) << "stale";
    EXPECT_FALSE(keeper.Read(600).has_value()) << "still stale";
    keeper.Accept(Angles(40.0, 0.0, 0.0), 700);
    ExpectReading(keeper.Read(700), 0, 0, 0);
    keeper.Accept(Angles(45.0, 0.0, 0.0), 710);
    ExpectReading(keeper.Read(710), Raw(-5.0), 0, 0);
}

TEST(PoseKeeper, InversionAndOffsetApplyInTheSendersSenseAndSurviveAZero) {
    BridgeSettings settings;
    settings.yaw = {true, 10.0};
    settings.pitch = {false, -5.0};
    settings.roll = {true, 0.0};
    PoseKeeper keeper;
    keeper.Configure(settings);
    keeper.Accept(Angles(30.0, 20.0, 10.0), 0);
    // yaw: -(30) + 10 = -20 in the sender's sense (left), positive raw.
    ExpectReading(keeper.Read(0), Raw(20.0), Raw(15.0), Raw(-10.0));
    keeper.RequestZero();
    ExpectReading(keeper.Read(0), Raw(-10.0), Raw(-5.0), 0);
}

TEST(PoseKeeper, AnglesBeyondHalfATurnWrapIntoTheTrackersRange) {
    PoseKeeper keeper;
    const struct {
        double yaw;
        std::int32_t raw;
    } cases[] = {
        {180.0, -32768},  // -180 in the plug-in's sense wraps to the same end of the range
        {-180.0, -32768},
        {190.0, Raw(170.0)},
        {-190.0, Raw(-170.0)},
        {540.0, -32768},
        {1e12, -Raw(std::remainder(1e12, 360.0))},
    };
    for (const auto& c : cases) {
        keeper.Accept(Angles(c.yaw, 0.0, 0.0), 0);
        const auto reading = keeper.Read(0);
        ASSERT_TRUE(reading.has_value());
        EXPECT_EQ(reading->yaw, c.raw) << c.yaw;
    }
    BridgeSettings settings;
    settings.pitch.offset = 180.0;
    keeper.Configure(settings);
    keeper.Accept(Angles(0.0, 170.0, 0.0), 0);
    EXPECT_EQ(keeper.Read(0)->pitch, Raw(-10.0));
}

}  // namespace
}  // namespace velmora::udp
