#pragma once

#include <array>

#include "controls/control_names.h"

namespace velmora::host {

// Full scale of each control's bar in the live view: about its value for a 90-degree turn, a
// 45-degree nod or a 45-degree tilt of the head, which is as far as a driver looks.
inline constexpr std::array<float, 9> kFullScale = {2.1f, 2.1f,  1.875f, 1.875f, 1.0f,
                                                    1.0f, 1.25f, 1.25f,  1.0f};

// Names a game asks about that the plug-in does not drive; each must stay unanswered. The last
// differs from a driven name only in case.
inline constexpr std::array<const char*, 3> kUndrivenControls = {"Camera_Zoom", "Throttle",
                                                                 "camera_yawleft"};

inline constexpr int kQueriedCount =
    static_cast<int>(kControlNames.size() + kUndrivenControls.size());

inline const char* QueriedName(int index) {
    const int driven = static_cast<int>(kControlNames.size());
    return index < driven ? kControlNames[index] : kUndrivenControls[index - driven];
}

}  // namespace velmora::host
