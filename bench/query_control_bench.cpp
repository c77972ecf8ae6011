// The cost of one control query on the game's frame path, per control name.

#include <benchmark/benchmark.h>

#include "plugin/velmora_plugin.h"

namespace velmora {
namespace {

void BM_QueryControl(benchmark::State& state, const char* name) {
    VelmoraPlugin plugin;
    plugin.RegisterControls();
    plugin.enabled = true;
    for (auto* flag :
         {&plugin.yawLeftEnabled, &plugin.yawRightEnabled, &plugin.pitchUpEnabled,
          &plugin.pitchDownEnabled, &plugin.rollLeftEnabled, &plugin.rollRightEnabled}) {
        *flag = true;
    }
    // A pose where every control answers on one side or the other.
    plugin.yawFilter.Output = 9000;
    plugin.pitchFilter.Output = 4000;
    plugin.rollFilter.Output = 5000;
    float refresh;
    plugin.QueryControl("Camera_YawLeft", &refresh);
    float value = 0.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(plugin.QueryControl(name, &value));
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
