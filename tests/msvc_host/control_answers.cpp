#include "control_answers.h"

#include "wait_for.h"

namespace {

// What the host's value holds before each query; a false answer must leave it.
constexpr float kUntouched = -7.0f;

// Worked by hand from the pose (yaw -0.5, pitch -0.25, roll 0.5): 0.5 * 4.2f, 0.25 * 7.5,
// 0.5 * 4, 4 sin(0.2 pi), 0.5 + 2 sin(0.1 pi).
constexpr float kYawLeft = 2.0999999046325684f;
constexpr float kPitchDown = 1.875f;
constexpr float kRollRight = 2.0f;
constexpr float kMoveRight = 2.3511410f;
constexpr float kMoveUpTilted = 1.1180340f;
constexpr float kSine = 1e-5f;

bool Matches(const ControlAnswer& expected, bool answered, float value) {
    if (!expected.answers) {
        return !answered && value == kUntouched;
    }
    const float difference =
        value > expected.value ? value - expected.value : expected.value - value;
    return answered && difference <= expected.tolerance;
}

}  // namespace

const NineAnswers kHeadAtZero = {
    {"Camera_YawLeft", false, 0, 0},  {"Camera_YawRight", false, 0, 0},
    {"Camera_PitchUp", false, 0, 0},  {"Camera_PitchDown", false, 0, 0},
    {"Camera_RollLeft", false, 0, 0}, {"Camera_RollRight", false, 0, 0},
    {"Camera_MoveLeft", false, 0, 0}, {"Camera_MoveRight", false, 0, 0},
    {"Camera_MoveUp", true, 0.5f, 0},
};

const NineAnswers kHeadTurned = {
    {"Camera_YawLeft", true, kYawLeft, 0},
    {"Camera_YawRight", false, 0, 0},
    {"Camera_PitchUp", false, 0, 0},
    {"Camera_PitchDown", true, kPitchDown, 0},
    {"Camera_RollLeft", false, 0, 0},
    {"Camera_RollRight", true, kRollRight, 0},
    {"Camera_MoveLeft", false, 0, 0},
    {"Camera_MoveRight", true, kMoveRight, kSine},
    {"Camera_MoveUp", true, kMoveUpTilted, kSine},
};

const NineAnswers kHeadTurnedRollOff = {
    {"Camera_YawLeft", true, kYawLeft, 0}, {"Camera_YawRight", false, 0, 0},
    {"Camera_PitchUp", false, 0, 0},       {"Camera_PitchDown", true, kPitchDown, 0},
    {"Camera_RollLeft", false, 0, 0},      {"Camera_RollRight", false, 0, 0},
    {"Camera_MoveLeft", false, 0, 0},      {"Camera_MoveRight", false, 0, 0},
    {"Camera_MoveUp", true, 0.5f, 0},
};

const NineAnswers kNoAnswer = {
    {"Camera_YawLeft", false, 0, 0},  {"Camera_YawRight", false, 0, 0},
    {"Camera_PitchUp", false, 0, 0},  {"Camera_PitchDown", false, 0, 0},
    {"Camera_RollLeft", false, 0, 0}, {"Camera_RollRight", false, 0, 0},
    {"Camera_MoveLeft", false, 0, 0}, {"Camera_MoveRight", false, 0, 0},
    {"Camera_MoveUp", false, 0, 0},
};

void CheckControls(CheckTally& tally, InternalsPluginV3* object, const NineAnswers& expected,
                   const char* situation) {
    bool answered[9];
    float values[9];
    auto all = [&] {
        bool match = true;
        for (int i = 0; i < 9; ++i) {
            values[i] = kUntouched;
            answered[i] = object->QueryControl(expected[i].control, &values[i]);
            match = Matches(expected[i], answered[i], values[i]) && match;
        }
        return match;
    };
    WaitFor(all, 10000);
    for (int i = 0; i < 9; ++i) {
        Line line;
        line << situation << ": " << expected[i].control;
        if (answered[i]) {
            line << " = " << values[i];
        } else if (values[i] == kUntouched) {
            line << " answers false, value untouched";
        } else {
            line << " answers false but wrote " << values[i];
        }
        if (!Matches(expected[i], answered[i], values[i])) {
            if (expected[i].answers) {
                line << " (want " << expected[i].value << ")";
            } else {
                line << " (want false, value untouched)";
            }
        }
        tally.Expect(Matches(expected[i], answered[i], values[i]), line);
    }
}

void CheckUnknownControls(CheckTally& tally, InternalsPluginV3* object) {
    static const char* const kUnknown[] = {"Camera_Zoom", "camera_yawleft", ""};
    for (const char* name : kUnknown) {
        float value = kUntouched;
        const bool answered = object->QueryControl(name, &value);
        tally.Expect(!answered && value == kUntouched,
                     Line() << "QueryControl(\"" << name << "\") answers "
                            << (answered ? "true" : "false")
                            << (value == kUntouched ? ", value untouched" : ", value written"));
    }
}
