#include "suggestion.h"

#include "config/settings_keys.h"
#include "profile_replay.h"

namespace velmora::tune {

bool Suggestion::CalmerWhereUnseen() const {
    for (std::size_t axis = 0; axis < 3; ++axis) {
        // An axis's settings hold the outlier factor, which the search changes on all three.
        const bool changed = suggested[axis] != inUse[axis];
        const auto& before = inUseHeldOut[axis].jitterDegrees;
        const auto& after = suggestedHeldOut[axis].jitterDegrees;
        if (changed && before && after && *after < *before) {
            return true;
        }
    }
    return false;
}

std::optional<Suggestion> Suggestion::Find(const PolledTrace& trace, const std::string& settings,
                                           const std::string& vehicle,
                                           std::optional<double> maxLagMilliseconds,
                                           const ProfileSearch::Progress& progress) {
    Suggestion suggestion;
    {
        const ProfileReplay replay(SettingsText{settings}, vehicle);
        if (!replay.Filtering()) {
            return std::nullopt;
        }
        suggestion.inUse = replay.Filters().Settings();
    }
    suggestion.section = vehicle.empty() ? keys::kGeneralFilter : vehicle;
    const std::size_t readings = trace.readings.size();
    suggestion.split = HeldOutSplit::Of(readings, trace.pollSeconds);

    const std::array<std::int32_t sim::Pose::*, 3> axes = {&sim::Pose::yaw, &sim::Pose::pitch,
                                                           &sim::Pose::roll};
    std::array<std::vector<double>, 3> input;
    std::array<MotionStretches, 3> heldOut;
    ProfileSearch::Setup setup;
    setup.trace = &trace;
    setup.inputDegrees = &input;
    setup.settings = settings;
    setup.section = suggestion.section;
    setup.vehicle = vehicle;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        input[axis] = StoredDegrees(trace, axes[axis]);
        const MotionStretches whole =
            MotionStretches::Find(input[axis], trace.joins, trace.pollSeconds);
        setup.choosing[axis] = whole.Within(suggestion.split.choosing, readings);
        for (std::size_t fold = 0; fold < 2; ++fold) {
            std::vector<Stretch> blocks;
            for (std::size_t i = fold; i < suggestion.split.choosing.size(); i += 2) {
                blocks.push_back(suggestion.split.choosing[i]);
            }
            setup.folds[axis][fold] = whole.Within(blocks, readings);
        }
        heldOut[axis] = whole.Within(suggestion.split.reporting, readings);
    }
    const auto inUseOutputs = ProfileSearch(setup).Replay(suggestion.inUse);
    for (std::size_t axis = 0; axis < 3; ++axis) {
        setup.lagBudgetMilliseconds[axis] =
            maxLagMilliseconds ? *maxLagMilliseconds
                               : LagInMotion(input[axis], inUseOutputs[axis],
                                             setup.choosing[axis].moving, trace.pollSeconds)
                                     .value_or(0.0);
    }
    suggestion.lagBudgetMilliseconds = setup.lagBudgetMilliseconds;

    ProfileSearch search(setup);
    suggestion.suggested = search.Run(suggestion.inUse, progress);
    suggestion.tuned = search.Tuned();
    suggestion.tried = search.Tried();
    const auto suggestedOutputs = search.Replay(suggestion.suggested);
    for (std::size_t axis = 0; axis < 3; ++axis) {
        suggestion.inUseHeldOut[axis] =
            AxisMetrics::Measure(input[axis], inUseOutputs[axis], heldOut[axis]);
        suggestion.suggestedHeldOut[axis] =
            AxisMetrics::Measure(input[axis], suggestedOutputs[axis], heldOut[axis]);
    }
    return suggestion;
}

}  // namespace velmora::tune
