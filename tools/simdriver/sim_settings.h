#pragma once

#include <cstdint>
#include <string>

#include "pose.h"

namespace velmora::sim {

enum class MotionKind { Synthetic, Still, Trace };

// How the simulated tracker behaves until a test says otherwise; read from the environment once,
// when the library is loaded:
//   VELMORA_SIM_MOTION          synthetic (default) | still | trace
//   VELMORA_SIM_POSE            "yaw,pitch,roll" in raw units, for still (default 0,0,0)
//   VELMORA_SIM_TRACE           the CSV file that trace replays
//   VELMORA_SIM_TRACE_UNITS     degrees (default) | raw
//   VELMORA_SIM_OPEN_FAILS      the first N opens fail
//   VELMORA_SIM_READ_FAIL_EVERY every Nth read fails
//   VELMORA_SIM_HANG_AFTER      after N successful reads, a read blocks until released
//   VELMORA_SIM_RECORD          a CSV file that receives every reading handed out
struct SimSettings {
    MotionKind motion = MotionKind::Synthetic;
    Pose pose;
    std::string tracePath;
    bool traceRawUnits = false;
    std::int32_t openFailures = 0;
    std::int32_t readFailEvery = 0;
    std::int32_t hangAfterReads = -1;  // -1: never
    std::string recordPath;

    static SimSettings FromEnvironment();
};

}  // namespace velmora::sim
