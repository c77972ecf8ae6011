#include "plugin/vehicle_list.h"

#include <cstdint>
#include <cstring>

namespace velmora {

bool FindPlayerVehicle(const VehicleListInfo* list, std::string_view& name) {
    using namespace vehicle_layout;
    if (list == nullptr) {
        return false;
    }
    // The host's records are read by offset and never through a declared struct: only these
    // fields are ours to rely on.
    const auto* bytes = reinterpret_cast<const unsigned char*>(list);
    std::int32_t count = 0;
    std::memcpy(&count, bytes + kCountOffset, sizeof count);
    const unsigned char* entries = nullptr;
    std::memcpy(&entries, bytes + kVehiclesOffset, sizeof entries);
    if (count <= 0 || entries == nullptr) {
        return false;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        const unsigned char* entry = entries + static_cast<std::size_t>(i) * kEntrySize;
        if (entry[kIsPlayerOffset] != 0) {
            const auto* text = reinterpret_cast<const char*>(entry + kNameOffset);
            const void* end = std::memchr(text, '\0', kNameCapacity);
            name = std::string_view(
                text, end != nullptr ? static_cast<const char*>(end) - text : kNameCapacity);
            return true;
        }
    }
    return false;
}

}  // namespace velmora
