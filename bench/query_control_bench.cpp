// The cost of one control query on the game's frame path, per control name.

#include <benchmark/benchmark.h>

#include "controls/camera_controls.h"
#include "controls/control_names.h"

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

// One benchmark a control, and one for a name the plug-in does not drive.
[[maybe_unused]] const bool kRegistered = [] {
    for (const char* name : kControlNames) {
        benchmark::RegisterBenchmark(name, BM_QueryControl, name);
    }
    benchmark::RegisterBenchmark("Camera_Zoom", BM_QueryControl, "Camera_Zoom");
    return true;
}();

}  // namespace
}  // namespace velmora
