#pragma once

#include <array>

namespace velmora::tools {

// The nine controls the plug-in drives. "Camera_YawLeft" comes first on purpose: its query
// refreshes the head pose that the other eight answer from, and a host that asked it last would
// see every other control one frame late.
inline constexpr std::array<const char*, 9> kDrivenControls = {
    "Camera_YawLeft",   "Camera_YawRight",  "Camera_PitchUp",
    "Camera_PitchDown", "Camera_RollLeft",  "Camera_RollRight",
    "Camera_MoveLeft",  "Camera_MoveRight", "Camera_MoveUp"};

}  // namespace velmora::tools
