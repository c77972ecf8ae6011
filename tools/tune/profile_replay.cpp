#include "tune/profile_replay.h"

#include <limits>
#include <utility>

namespace velmora::tune {

ProfileReplay::ProfileReplay(const std::string& configPath, const std::string& vehicle)
    : head_(switches_, configPath), controls_(head_, switches_) {
    head_.BeginSession();
    controls_.Bind();
    if (!vehicle.empty()) {
        head_.ChangeVehicle(vehicle);
    }
}

ProfileReplay::ProfileReplay(SettingsText settings, const std::string& vehicle)
    : head_(switches_, ""), controls_(head_, switches_) {
    head_.BeginSession(settings.text);
    controls_.Bind();
    if (!vehicle.empty()) {
        head_.ChangeVehicle(vehicle);
    }
}

void ProfileReplay::Feed(const sim::Pose& reading) {
    head_.AddReading({reading.yaw, reading.pitch, reading.roll});
}

std::array<std::int32_t, 3> ProfileReplay::Outputs() const {
    Reading outputs;
    head_.Outputs(outputs);
    return {outputs.yaw, outputs.pitch, outputs.roll};
}

ControlValues ProfileReplay::QueryControls() {
    ControlValues values;
    for (std::size_t i = 0; i < kControlNames.size(); ++i) {
        float value = 0.0f;
        values[i] = controls_.Query(kControlNames[i], &value)
                        ? value
                        : std::numeric_limits<float>::quiet_NaN();
    }
    return values;
}

std::vector<std::int32_t> RawAxis(const PolledTrace& trace, std::size_t axis) {
    const std::array<std::int32_t sim::Pose::*, 3> axes = {&sim::Pose::yaw, &sim::Pose::pitch,
                                                           &sim::Pose::roll};
    std::vector<std::int32_t> raw;
    raw.reserve(trace.readings.size());
    for (const sim::Pose& reading : trace.readings) {
        raw.push_back(reading.*axes[axis]);
    }
    return raw;
}

std::array<AxisHead, 3> HeadsOf(const PolledTrace& trace,
                                const std::array<MotionStretches, 3>& stretches) {
    const std::array<double sim::PoseDegrees::*, 3> truths = {
        &sim::PoseDegrees::yaw, &sim::PoseDegrees::pitch, &sim::PoseDegrees::roll};
    std::array<AxisHead, 3> heads;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        std::vector<double> truth;
        for (const sim::PoseDegrees& pose : trace.truth) {
            truth.push_back(pose.*truths[axis]);
        }
        heads[axis] =
            AxisHead::Of(Unwrapped(RawAxis(trace, axis)), std::move(truth),
                         MeasuredBlocks(stretches[axis], trace.readings.size()), trace.pollSeconds);
    }
    return heads;
}

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
    run.heads = HeadsOf(run.trace, run.stretches);
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
            result.metrics[axis] = AxisMetrics::Measure(run.heads[axis], result.outputDegrees[axis],
                                                        run.stretches[axis]);
        }
        run.profiles.push_back(std::move(result));
    }
    return run;
}

}  // namespace velmora::tune
