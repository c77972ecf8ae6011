#include "tracking/head_filters.h"

namespace velmora {

void HeadFilters::Apply(const ProfileOverrides& profile, bool useFiltering) {
    std::array<FilterSettings, 3> settings = Settings();
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const AxisOverrides& axis = profile.axes[i];
        FilterSettings& filter = settings[i];
        filter.SDSkipfactor = profile.sdSkipfactor.value_or(filter.SDSkipfactor);
        filter.MinFrames = axis.minFrames.value_or(filter.MinFrames);
        filter.OffsetFrame = axis.offsetFrame.value_or(filter.OffsetFrame);
        filter.DecreaseFrame = axis.decreaseFrame.value_or(filter.DecreaseFrame);
        if (axis.maxFrames) {
            filter.MaxFrames = RingLength(*axis.maxFrames, filter.MinFrames);
        }
        if (!useFiltering) {
            // The filter then passes its unwrapped readings through unsmoothed.
            filter.MinFrames = 1;
            filter.MaxFrames = 1;
        }
    }
    Set(settings);
}

}  // namespace velmora
