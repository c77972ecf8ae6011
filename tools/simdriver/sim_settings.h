#pragma once

#include <cstdint>
#include <string>

#include "simdriver/pose.h"
#include "simdriver/sensor_model.h"

namespace velmora::sim {

enum class MotionKind { Synthetic, Still, Trace, Driving };

// How the simulated tracker behaves until a test says otherwise; read from the environment once,
// when the library is loaded:
//   VELMORA_SIM_MOTION          synthetic (default) | still | trace | driving
//   VELMORA_SIM_POSE            "yaw,pitch,roll" in raw units, for still (default 0,0,0)
//   VELMORA_SIM_TRACE           the CSV file that trace replays
//   VELMORA_SIM_TRACE_UNITS     degrees (default) | raw
// The driving motion's head and the tracker that measures it (see SensorOptions):
//   VELMORA_SIM_SEED            a whole number that fixes the drive and the noise (default 1)
//   VELMORA_SIM_RATE            the tracker's updates a second (default 60)
//   VELMORA_SIM_NOISE           RMS of its white noise in degrees (default 0)
//   VELMORA_SIM_SPIKES          "rate,size": spikes a second, each of that many degrees (default
//   none) VELMORA_SIM_QUANTUM         a step in degrees that readings are rounded to (default 0:
//   the raw
//                               unit)
//   VELMORA_SIM_OPEN_FAILS      the first N opens fail
//   VELMORA_SIM_READ_FAIL_EVERY every Nth read fails
//   VELMORA_SIM_HANG_AFTER      after N successful reads, a read blocks until released
//   VELMORA_SIM_RECORD          a CSV file that receives every reading handed out, and with the
//                               driving motion the true pose beside it
struct SimSettings {
    MotionKind motion = MotionKind::Synthetic;
    Pose pose;
    std::string tracePath;
    bool traceRawUnits = false;
    std::int32_t openFailures = 0;
    std::int32_t readFailEvery = 0;
    std::int32_t hangAfterReads = -1;  // -1: never
    std::string recordPath;
    std::uint64_t seed = 1;
    SensorOptions sensor;

    static SimSettings FromEnvironment();
};

}  // namespace velmora::sim
