#include "controls/camera_controls.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "controls/control_names.h"

namespace velmora {
namespace {

using Bits = std::optional<std::uint32_t>;  // a float's bits, or nothing for a false answer
constexpr Bits kNone = std::nullopt;

// The controls over a head whose filters pass each reading straight through (filtering off), so
// a reading sets the filters' outputs exactly.
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

    // Sets the outputs and lets "Camera_YawLeft" refresh the pose, as a frame's first query does.
    // A centred reading first, so that no reading is carried across the ends of the range.
    void Pose(std::int32_t yaw, std::int32_t pitch, std::int32_t roll) {
        head.AddReading({});
        head.AddReading({yaw, pitch, roll});
        Answer("Camera_YawLeft");
    }

    // A false answer must leave the float alone.
    Bits Answer(const char* name) {
        float value = -123.0f;
        if (!controls.Query(name, &value)) {
            EXPECT_EQ(value, -123.0f) << name << " wrote a value but answered false";
            return kNone;
        }
        return std::bit_cast<std::uint32_t>(value);
    }

    std::vector<Bits> Answers(const std::vector<const char*>& names) {
        std::vector<Bits> answers;
        for (const char* name : names) {
            answers.push_back(Answer(name));
        }
        return answers;
    }

    Switches switches;
    SharedHead head{switches, ""};
    CameraControls controls{head, switches};
};

// Each axis on both sides, the float bit for bit. The expected values were computed apart from
// this code, from the controls' definition: a pose of output / 32768 stored as a float (yaw
// negated), gains of 4.2f, 7.5 and 4 and the arcs' 0.4f and 0.2f widened to double, each result
// narrowed to a float. A raw yaw above zero is a turn to the left.
TEST_F(CameraControlsTest, AnswerEveryPoseWithTheExactFloat) {
    struct Case {
        std::int32_t output;
        std::vector<Bits> expected;
    };
    const Case yaws[] = {{15, {Bits(0x3afbffff), kNone}},    {-22, {kNone, Bits(0x3b38cccc)}},
                         {5461, {Bits(0x3f333066), kNone}},  {-5461, {kNone, Bits(0x3f333066)}},
                         {16384, {Bits(0x40066666), kNone}}, {-16384, {kNone, Bits(0x40066666)}},
                         {32767, {Bits(0x40866559), kNone}}, {-32768, {kNone, Bits(0x40866666)}}};
    for (const Case& c : yaws) {
        Pose(c.output, 0, 0);
        EXPECT_EQ(Answers({"Camera_YawLeft", "Camera_YawRight"}), c.expected) << c.output;
    }
    const Case pitches[] = {
        {3, {Bits(0x3a340000), kNone}},     {-3, {kNone, Bits(0x3a340000)}},
        {8192, {Bits(0x3ff00000), kNone}},  {-8192, {kNone, Bits(0x3ff00000)}},
        {24000, {Bits(0x40afc800), kNone}}, {-32768, {kNone, Bits(0x40f00000)}}};
    for (const Case& c : pitches) {
        Pose(0, c.output, 0);
        EXPECT_EQ(Answers({"Camera_PitchUp", "Camera_PitchDown"}), c.expected) << c.output;
    }
    const Case rolls[] = {
        {15, {kNone, Bits(0x3af00000), kNone, Bits(0x3b16cbe4), Bits(0x3f0025b3)}},
        {-22, {Bits(0x3b300000), kNone, Bits(0x3b5d2b09), kNone, Bits(0x3f00374b)}},
        {785, {kNone, Bits(0x3dc44000), kNone, Bits(0x3df693e9), Bits(0x3f07b4d8)}},
        {-1268, {Bits(0x3e1e8000), kNone, Bits(0x3e471937), kNone, Bits(0x3f0c7284)}},
        {9000, {kNone, Bits(0x3f8ca000), kNone, Bits(0x3fad3a16), Bits(0x3f57eb5c)}},
        {-9000, {Bits(0x3f8ca000), kNone, Bits(0x3fad3a16), kNone, Bits(0x3f57eb5c)}},
        {16384, {kNone, Bits(0x40000000), kNone, Bits(0x40167918), Bits(0x3f8f1bbd)}},
        {-16384, {Bits(0x40000000), kNone, Bits(0x40167918), kNone, Bits(0x3f8f1bbd)}},
        {32767, {kNone, Bits(0x407ffe00), kNone, Bits(0x407377aa), Bits(0x3fd67814)}},
        {-32768, {Bits(0x40800000), kNone, Bits(0x40737871), kNone, Bits(0x3fd67918)}}};
    for (const Case& c : rolls) {
        Pose(0, 0, c.output);
        EXPECT_EQ(Answers({"Camera_RollLeft", "Camera_RollRight", "Camera_MoveLeft",
                           "Camera_MoveRight", "Camera_MoveUp"}),
                  c.expected)
            << c.output;
    }
    Pose(0, 0, 0);  // a centred head: only the eye height, at 0.5
    EXPECT_EQ(Answers(std::vector<const char*>(kControlNames.begin(), kControlNames.end())),
              (std::vector<Bits>{kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone,
                                 Bits(0x3f000000)}));
}

TEST_F(CameraControlsTest, DisabledDirectionsStaySilentButTheEyeHeightStillAnswers) {
    Profile("Roll Right Enabled = false\nYaw Left Enabled = false\nPitch Up Enabled = false\n");
    Pose(16384, 8192, 16384);
    EXPECT_EQ(Answers({"Camera_YawLeft", "Camera_PitchUp", "Camera_RollRight", "Camera_MoveRight",
                       "Camera_MoveUp"}),
              (std::vector<Bits>{kNone, kNone, kNone, kNone, Bits(0x3f000000)}));
    Pose(-16384, -8192, -16384);  // the other sides still answer
    EXPECT_EQ(Answers({"Camera_YawRight", "Camera_PitchDown", "Camera_RollLeft"}),
              (std::vector<Bits>{Bits(0x40066666), Bits(0x3ff00000), Bits(0x40000000)}));
}

TEST_F(CameraControlsTest, AnswerNothingWhileDisabledOrForANameNotExactlyTheirs) {
    Pose(16384, 8192, 16384);
    for (const char* name :
         {"camera_yawleft", "Camera_YawLeft ", "Camera_Yaw", "", "Camera_MoveUpX", "Throttle"}) {
        EXPECT_EQ(Answer(name), kNone) << '"' << name << '"';
    }
    switches.SetEnabled(false);
    for (const char* name : kControlNames) {
        EXPECT_EQ(Answer(name), kNone) << name;
    }
}

TEST_F(CameraControlsTest, RefreshThePoseOnlyOnTheYawLeftQueryAndCentreItOnBind) {
    Pose(0, 0, 0);
    head.AddReading({0, 8192, 0});
    EXPECT_EQ(Answer("Camera_PitchUp"), kNone) << "answered from a pose nobody refreshed";
    Answer("Camera_YawLeft");
    EXPECT_EQ(Answer("Camera_PitchUp"), Bits(0x3ff00000));
    controls.Bind();
    EXPECT_EQ(Answer("Camera_PitchUp"), kNone) << "the pose outlived Bind";
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
}

}  // namespace
}  // namespace velmora
