#pragma once

#include <array>

namespace velmora::host {

// The nine controls the plug-in drives. "Camera_YawLeft" comes first on purpose: its query
// refreshes the head pose that the other eight answer from, and a host that asked it last would
// see every other control one frame late.
inline constexpr std::array<const char*, 9> kDrivenControls = {
    "Camera_YawLeft",   "Camera_YawRight",  "Camera_PitchUp",
    "Camera_PitchDown", "Camera_RollLeft",  "Camera_RollRight",
    "Camera_MoveLeft",  "Camera_MoveRight", "Camera_MoveUp"};

// Full scale of each control's bar in the live view: about its value for a 90-degree turn, a
// 45-degree nod or a 45-degree tilt of the head, which is as far as a driver looks.
inline constexpr std::array<float, 9> kFullScale = {2.1f, 2.1f,  1.875f, 1.875f, 1.0f,
                                                    1.0f, 1.25f, 1.25f,  1.0f};

// Names a game asks about that the plug-in does not drive; each must stay unanswered. The last
// differs from a driven name only in case.
inline constexpr std::array<const char*, 3> kUndrivenControls = {"Camera_Zoom", "Throttle",
                                                                 "camera_yawleft"};

inline constexpr int kQueriedCount =
    static_cast<int>(kDrivenControls.size() + kUndrivenControls.size());

inline const char* QueriedName(int index) {
    const int driven = static_cast<int>(kDrivenControls.size());
    return index < driven ? kDrivenControls[index] : kUndrivenControls[index - driven];
}

}  // namespace velmora::host
