#pragma once

#include <array>

namespace velmora {

// The nine controls Velmora answers, by the host's names. "Camera_YawLeft" comes first on
// purpose: its query refreshes the head pose that the other eight answer from, so a host that
// asks in this order sees every control from the same reading.
inline constexpr std::array<const char*, 9> kControlNames = {
    "Camera_YawLeft",   "Camera_YawRight",  "Camera_PitchUp",
    "Camera_PitchDown", "Camera_RollLeft",  "Camera_RollRight",
    "Camera_MoveLeft",  "Camera_MoveRight", "Camera_MoveUp"};

}  // namespace velmora
