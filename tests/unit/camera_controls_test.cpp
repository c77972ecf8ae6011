#include "controls/camera_controls.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <optional>
#include <string>

#include "controls/control_names.h"

namespace velmora {
namespace {

// The controls over a head whose filters pass each reading straight through (filtering off), so
// a reading sets the outputs exactly.
class CameraControlsTest : public ::testing::Test {
protected:
    CameraControlsTest() {
        switches.BeginSession();
        controls.Bind();
        Profile("");
    }

    // "General Filter" with these lines, and filtering off.
    void Profile(const std::string& lines) {
        head.ApplySettings(
            "[Settings]\nUse Filtering = false\n[General Filter]\nYaw MinFrames = 1\n" + lines);
    }

    // Sets the filters' outputs and lets "Camera_YawLeft" refresh the pose, as the host's first
    // query of a frame does.
    void Pose(std::int32_t yaw, std::int32_t pitch, std::int32_t roll) {
        head.AddReading({yaw, pitch, roll});
        float ignored;
        controls.Query("Camera_YawLeft", &ignored);
    }

    // The answer of one control: the float's bits, or nullopt when it answered false. A false
    // answer must leave the float alone.
    std::optional<std::uint32_t> Answer(const char* name) {
        float value = -123.0f;
        if (!controls.Query(name, &value)) {
            EXPECT_EQ(value, -123.0f) << name << " wrote a value but answered false";
            return std::nullopt;
        }
        return std::bit_cast<std::uint32_t>(value);
    }

    float Value(const char* name) {
        auto bits = Answer(name);
        return bits ? std::bit_cast<float>(*bits) : -1.0f;
    }

    Switches switches;
    SharedHead head{switches, ""};
    CameraControls controls{head, switches};
};

std::optional<std::uint32_t> Bits(float value) {
    return std::bit_cast<std::uint32_t>(value);
}

struct PoseCase {
    const char* what;
    std::int32_t yaw, pitch, roll;
    // Expected bits per control, in kControls order; nullopt = answers false.
    std::optional<std::uint32_t> expected[9];
};

TEST_F(CameraControlsTest, AnswerEachPoseWithTheExactFloat) {
    const auto none = std::nullopt;
    const PoseCase cases[] = {
        {"centred head: only the eye height answers",
         0,
         0,
         0,
         {none, none, none, none, none, none, none, none, Bits(0.5f)}},
        // Positive raw yaw is a turn to the left; 4.2 as a float, widened, times 0.5.
        {"head turned left",
         16384,
         0,
         0,
         {Bits(2.0999999046325684f), none, none, none, none, none, none, none, Bits(0.5f)}},
        {"head turned right",
         -16384,
         0,
         0,
         {none, Bits(2.0999999046325684f), none, none, none, none, none, none, Bits(0.5f)}},
        {"looking down",
         0,
         -8192,
         0,
         {none, none, none, Bits(1.875f), none, none, none, none, Bits(0.5f)}},
        {"looking up",
         0,
         8192,
         0,
         {none, none, Bits(1.875f), none, none, none, none, none, Bits(0.5f)}},
        {"full turn left of the tracker's range",
         32767,
         0,
         0,
         {Bits(static_cast<float>(-static_cast<float>(32767 / 32768.0) * -double(4.2f))), none,
          none, none, none, none, none, none, Bits(0.5f)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Pose(c.yaw, c.pitch, c.roll);
        for (int i = 0; i < 9; ++i) {
            EXPECT_EQ(Answer(kControlNames[i]), c.expected[i]) << kControlNames[i];
        }
    }
}

TEST_F(CameraControlsTest, RollDrivesTiltSidewaysMoveAndLiftOnItsOwnSide) {
    Pose(0, 0, 16384);  // head tilted right, pose roll 0.5
    EXPECT_EQ(Answer("Camera_RollRight"), Bits(2.0f));
    EXPECT_NEAR(Value("Camera_MoveRight"), 2.351141f, 1e-6f);
    EXPECT_NEAR(Value("Camera_MoveUp"), 1.118034f, 1e-6f);
    EXPECT_FALSE(Answer("Camera_RollLeft"));
    EXPECT_FALSE(Answer("Camera_MoveLeft"));

    Pose(0, 0, -16384);
    EXPECT_EQ(Answer("Camera_RollLeft"), Bits(2.0f));
    EXPECT_NEAR(Value("Camera_MoveLeft"), 2.351141f, 1e-6f);
    EXPECT_NEAR(Value("Camera_MoveUp"), 1.118034f, 1e-6f);
    EXPECT_FALSE(Answer("Camera_RollRight"));
    EXPECT_FALSE(Answer("Camera_MoveRight"));
}

TEST_F(CameraControlsTest, DisabledDirectionsStaySilentButTheEyeHeightStillAnswers) {
    Profile("Roll Right Enabled = false\nYaw Left Enabled = false\n");
    Pose(16384, 0, 16384);
    EXPECT_FALSE(Answer("Camera_YawLeft"));
    EXPECT_FALSE(Answer("Camera_RollRight"));
    EXPECT_FALSE(Answer("Camera_MoveRight"));
    EXPECT_EQ(Answer("Camera_MoveUp"), Bits(0.5f));

    Profile("Roll Right Enabled = true\nPitch Up Enabled = false\n");
    Pose(0, 8192, 0);
    EXPECT_FALSE(Answer("Camera_PitchUp"));
}

TEST_F(CameraControlsTest, NothingAnswersWhileDisabled) {
    Pose(16384, 8192, 16384);
    switches.SetEnabled(false);
    for (const char* name : kControlNames) {
        EXPECT_FALSE(Answer(name)) << name;
    }
}

TEST_F(CameraControlsTest, NamesMatchWholeAndCaseSensitively) {
    for (const char* name :
         {"camera_yawleft", "Camera_YawLeft ", "Camera_Yaw", "", "Camera_MoveUpX", "Throttle"}) {
        EXPECT_FALSE(Answer(name)) << '"' << name << '"';
    }
}

TEST_F(CameraControlsTest, OnlyTheYawLeftQueryRefreshesThePose) {
    Pose(0, 0, 0);
    head.AddReading({0, 8192, 0});
    EXPECT_FALSE(Answer("Camera_PitchUp")) << "answered from a pose nobody refreshed";
    float ignored;
    controls.Query("Camera_YawLeft", &ignored);
    EXPECT_EQ(Answer("Camera_PitchUp"), Bits(1.875f));
}

TEST_F(CameraControlsTest, BindingAgainCentresThePoseAndKeepsEveryName) {
    Pose(0, 8192, 0);
    controls.Bind();
    EXPECT_FALSE(Answer("Camera_PitchUp")) << "the pose outlived Bind";
    Pose(16384, 8192, 16384);
    int answered = 0;
    for (const char* name : kControlNames) {
        answered += Answer(name) ? 1 : 0;
    }
    EXPECT_EQ(answered, 5);  // yaw left, pitch up, roll right, move right, move up
}

TEST(CameraControlsBeforeBind, AnswerNothingEvenWhenEnabled) {
    Switches switches;
    switches.SetEnabled(true);
    SharedHead head(switches, "");
    CameraControls controls(head, switches);
    float value = -1.0f;
    for (const char* name : kControlNames) {
        EXPECT_FALSE(controls.Query(name, &value)) << name;
    }
    EXPECT_EQ(value, -1.0f);
}

}  // namespace
}  // namespace velmora
