#pragma once

#include <cstddef>
#include <string_view>

#include "plugin/host_interface.h"

namespace velmora {

// Where the host's vehicle records keep the few fields Velmora reads (byte offsets, little-endian).
namespace vehicle_layout {
inline constexpr std::size_t kCountOffset = 88;      // int32 vehicleCount
inline constexpr std::size_t kVehiclesOffset = 488;  // pointer to the first entry (native size)
inline constexpr std::size_t kEntrySize = 428;
inline constexpr std::size_t kIsPlayerOffset = 148;  // byte, nonzero for the player's vehicle
inline constexpr std::size_t kNameOffset = 152;      // NUL-terminated name, to the entry's end
inline constexpr std::size_t kNameCapacity = kEntrySize - kNameOffset;
}  // namespace vehicle_layout

// The name of the first vehicle marked as the player's. False when the list has no vehicle or none
// is marked. A name that is not terminated inside its record ends at the record's end.
bool FindPlayerVehicle(const VehicleListInfo* list, std::string_view& name);

}  // namespace velmora
