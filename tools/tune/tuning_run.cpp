#include "tuning_run.h"

#include <utility>

namespace velmora::tune {

TuningRun TuningRun::Replay(PolledTrace trace, const std::vector<ProfileChoice>& choices) {
    TuningRun run;
    run.trace = std::move(trace);
    const std::array<std::int32_t sim::Pose::*, 3> axes = {&sim::Pose::yaw, &sim::Pose::pitch,
                                                           &sim::Pose::roll};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        run.inputDegrees[axis] = StoredDegrees(run.trace, axes[axis]);
        run.stretches[axis] =
            MotionStretches::Find(run.inputDegrees[axis], run.trace.joins, run.trace.pollSeconds);
    }
    const std::size_t count = run.trace.readings.size();
    for (const ProfileChoice& choice : choices) {
        ProfileResult result;
        result.choice = choice;
        result.controls.reserve(count);
        for (auto& output : result.outputDegrees) {
            output.reserve(count);
        }
        ProfileReplay replay(choice.configPath, choice.vehicle);
        result.filtered = replay.Filtering();
        for (const sim::Pose& reading : run.trace.readings) {
            replay.Feed(reading);
            const auto outputs = replay.Outputs();
            for (std::size_t axis = 0; axis < 3; ++axis) {
                result.outputDegrees[axis].push_back(RawToDegrees(outputs[axis]));
            }
            result.controls.push_back(replay.QueryControls());
        }
        for (std::size_t axis = 0; axis < 3; ++axis) {
            result.metrics[axis] = AxisMetrics::Measure(
                run.inputDegrees[axis], result.outputDegrees[axis], run.stretches[axis]);
        }
        run.profiles.push_back(std::move(result));
    }
    return run;
}

}  // namespace velmora::tune
