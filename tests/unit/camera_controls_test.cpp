#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "plugin/velmora_plugin.h"

namespace velmora {
namespace {

constexpr const char* kControls[] = {"Camera_YawLeft",   "Camera_YawRight",  "Camera_PitchUp",
                                     "Camera_PitchDown", "Camera_RollLeft",  "Camera_RollRight",
                                     "Camera_MoveLeft",  "Camera_MoveRight", "Camera_MoveUp"};

class CameraControls : public ::testing::Test {
protected:
    CameraControls() {
        plugin.RegisterControls();
        plugin.enabled = true;
        for (auto* flag : Flags()) {
            *flag = true;
        }
    }

    std::vector<std::atomic<bool>*> Flags() {
        return {&plugin.yawLeftEnabled,   &plugin.yawRightEnabled, &plugin.pitchUpEnabled,
                &plugin.pitchDownEnabled, &plugin.rollLeftEnabled, &plugin.rollRightEnabled};
    }

    // Sets the filters' outputs and lets "Camera_YawLeft" refresh the pose, as the host's first
    // query of a frame does.
    void Pose(std::int32_t yaw, std::int32_t pitch, std::int32_t roll) {
        plugin.yawFilter.Output = yaw;
        plugin.pitchFilter.Output = pitch;
        plugin.rollFilter.Output = roll;
        float ignored;
        plugin.QueryControl("Camera_YawLeft", &ignored);
    }

    // The answer of one control: the float's bits, or nullopt when it answered false. A false
    // answer must leave the float alone.
    std::optional<std::uint32_t> Answer(const char* name) {
        float value = -123.0f;
        if (!plugin.QueryControl(name, &value)) {
            EXPECT_EQ(value, -123.0f) << name << " wrote a value but answered false";
            return std::nullopt;
        }
        return std::bit_cast<std::uint32_t>(value);
    }

    float Value(const char* name) {
        auto bits = Answer(name);
        return bits ? std::bit_cast<float>(*bits) : -1.0f;
    }

    VelmoraPlugin plugin;
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

TEST_F(CameraControls, AnswerEachPoseWithTheExactFloat) {
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
            EXPECT_EQ(Answer(kControls[i]), c.expected[i]) << kControls[i];
        }
    }
}

TEST_F(CameraControls, RollDrivesTiltSidewaysMoveAndLiftOnItsOwnSide) {
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

TEST_F(CameraControls, DisabledDirectionsStaySilentButTheEyeHeightStillAnswers) {
    plugin.rollRightEnabled = false;
    plugin.yawLeftEnabled = false;
    Pose(16384, 0, 16384);
    EXPECT_FALSE(Answer("Camera_YawLeft"));
    EXPECT_FALSE(Answer("Camera_RollRight"));
    EXPECT_FALSE(Answer("Camera_MoveRight"));
    EXPECT_EQ(Answer("Camera_MoveUp"), Bits(0.5f));

    plugin.rollRightEnabled = true;
    plugin.pitchUpEnabled = false;
    Pose(0, 8192, 0);
    EXPECT_FALSE(Answer("Camera_PitchUp"));
}

TEST_F(CameraControls, NothingAnswersWhileDisabled) {
    Pose(16384, 8192, 16384);
    plugin.enabled = false;
    for (const char* name : kControls) {
        EXPECT_FALSE(Answer(name)) << name;
    }
}

TEST_F(CameraControls, NamesMatchWholeAndCaseSensitively) {
    for (const char* name :
         {"camera_yawleft", "Camera_YawLeft ", "Camera_Yaw", "", "Camera_MoveUpX", "Throttle"}) {
        EXPECT_FALSE(Answer(name)) << '"' << name << '"';
    }
}

TEST_F(CameraControls, OnlyTheYawLeftQueryRefreshesThePose) {
    Pose(0, 0, 0);
    plugin.pitchFilter.Output = 8192;
    EXPECT_FALSE(Answer("Camera_PitchUp")) << "answered from a pose nobody refreshed";
    float ignored;
    plugin.QueryControl("Camera_YawLeft", &ignored);
    EXPECT_EQ(Answer("Camera_PitchUp"), Bits(1.875f));
}

TEST_F(CameraControls, RegisteringAgainReplacesTheNineBindings) {
    plugin.RegisterControls();
    EXPECT_EQ(plugin.handlers.size(), 9u);
    for (const char* name : kControls) {
        EXPECT_EQ(plugin.handlers.count(name), 1u) << name;
    }
}

TEST(CameraControlsBeforeStart, ANewObjectAnswersNothing) {
    VelmoraPlugin plugin;
    float value = -1.0f;
    for (const char* name : kControls) {
        EXPECT_FALSE(plugin.QueryControl(name, &value)) << name;
    }
    EXPECT_EQ(value, -1.0f);
}

}  // namespace
}  // namespace velmora
