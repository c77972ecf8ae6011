#pragma once

#include "game_interface.h"
#include "report.h"

// What one control answers for a given head pose and set of enabled directions.
struct ControlAnswer {
    const char* control;
    bool answers;
    float value;      // when it answers
    float tolerance;  // 0 where the value is exact
};

using NineAnswers = ControlAnswer[9];

// The simulated head, held still: raw yaw 16384 (a quarter turn left), pitch -8192 (down),
// roll 16384 (tilted right).
inline constexpr int kTurnedYaw = 16384;
inline constexpr int kTurnedPitch = -8192;
inline constexpr int kTurnedRoll = 16384;

extern const NineAnswers kHeadAtZero;
extern const NineAnswers kHeadTurned;
extern const NineAnswers kHeadTurnedRollOff;  // the same pose in a car without roll
extern const NineAnswers kNoAnswer;           // disabled or stopped

// Queries the nine controls in the game's order, "Camera_YawLeft" first since it refreshes the
// pose the others read, until they give `expected` (the filters take a moment to settle on a new
// pose) or 10 s have passed; then checks each answer. A false answer must leave the value alone.
void CheckControls(CheckTally& tally, InternalsPluginV3* object, const NineAnswers& expected,
                   const char* situation);
// Names the plug-in does not drive, one differing only in case: false, the value left alone.
void CheckUnknownControls(CheckTally& tally, InternalsPluginV3* object);
