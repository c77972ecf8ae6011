// The cost of one control query on the game's frame path, per control name.

#include <benchmark/benchmark.h>

#include "controls/camera_controls.h"

namespace velmora {
namespace {

void BM_QueryControl(benchmark::State& state, const char* name) {
    Switches switches;
    SharedHead head(switches, "");
    CameraControls controls(head, switches);
    switches.BeginSession();
    controls.Bind();
    // A pose where every control answers on one side or the other.
    head.AddReading({9000, 4000, 5000});
    float refresh;
    controls.Query("Camera_YawLeft", &refresh);
    float value = 0.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(controls.Query(name, &value));
        benchmark::DoNotOptimize(value);
    }
}

BENCHMARK_CAPTURE(BM_QueryControl, YawLeft, "Camera_YawLeft");
BENCHMARK_CAPTURE(BM_QueryControl, YawRight, "Camera_YawRight");
BENCHMARK_CAPTURE(BM_QueryControl, PitchUp, "Camera_PitchUp");
BENCHMARK_CAPTURE(BM_QueryControl, PitchDown, "Camera_PitchDown");
BENCHMARK_CAPTURE(BM_QueryControl, RollLeft, "Camera_RollLeft");
BENCHMARK_CAPTURE(BM_QueryControl, RollRight, "Camera_RollRight");
BENCHMARK_CAPTURE(BM_QueryControl, MoveLeft, "Camera_MoveLeft");
BENCHMARK_CAPTURE(BM_QueryControl, MoveRight, "Camera_MoveRight");
BENCHMARK_CAPTURE(BM_QueryControl, MoveUp, "Camera_MoveUp");
BENCHMARK_CAPTURE(BM_QueryControl, NotDriven, "Camera_Zoom");

}  // namespace
}  // namespace velmora
