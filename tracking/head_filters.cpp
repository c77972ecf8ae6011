#include "tracking/head_filters.h"

#include <array>

namespace velmora {
namespace {

void ApplyAxis(AxisFilter& filter, const AxisOverrides& axis, std::optional<float> sdSkipfactor) {
    FilterParameters parameters = filter.Parameters();
    if (sdSkipfactor) {
        parameters.SDSkipfactor = *sdSkipfactor;
    }
    if (axis.minFrames) {
        parameters.MinFrames = *axis.minFrames;
    }
    if (axis.offsetFrame) {
        parameters.OffsetFrame = *axis.offsetFrame;
    }
    if (axis.decreaseFrame) {
        parameters.DecreaseFrame = *axis.decreaseFrame;
    }
    filter.SetParameters(parameters);
    if (axis.maxFrames) {
        filter.SetMaxFrames(RingLength(*axis.maxFrames, parameters.MinFrames));
    }
}

}  // namespace

void HeadFilters::Apply(const ProfileOverrides& profile, bool useFiltering) {
    const std::array<AxisFilter*, 3> filters = {&yaw_, &pitch_, &roll_};
    for (std::size_t i = 0; i < filters.size(); ++i) {
        ApplyAxis(*filters[i], profile.axes[i], profile.sdSkipfactor);
    }
    if (!useFiltering) {
        // Each filter then passes its unwrapped readings through unsmoothed.
        for (AxisFilter* filter : filters) {
            FilterParameters parameters = filter->Parameters();
            parameters.MinFrames = 1;
            filter->SetParameters(parameters);
        }
        for (AxisFilter* filter : filters) {
            filter->SetMaxFrames(1);
        }
    }
}

}  // namespace velmora
