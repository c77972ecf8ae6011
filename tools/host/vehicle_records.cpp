#include "vehicle_records.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace velmora::host {

VehicleRecords::VehicleRecords() : list_(kListSize, 0) {}

void VehicleRecords::Build(const std::vector<std::string>& names, int player) {
    entries_.assign(std::max<std::size_t>(names.size(), 1) * kEntrySize, 0);
    for (std::size_t i = 0; i < names.size(); ++i) {
        unsigned char* entry = entries_.data() + i * kEntrySize;
        entry[kIsPlayerOffset] = static_cast<int>(i) == player ? 1 : 0;
        const std::size_t length = std::min(names[i].size(), kNameCapacity - 1);
        std::memcpy(entry + kNameOffset, names[i].data(), length);
    }
    std::fill(list_.begin(), list_.end(), 0);
    const auto count = static_cast<std::int32_t>(names.size());
    std::memcpy(list_.data() + kCountOffset, &count, sizeof count);
    const unsigned char* first = entries_.data();
    std::memcpy(list_.data() + kEntriesOffset, &first, sizeof first);
}

void VehicleRecords::BuildField(const std::string& playerVehicle) {
    Build({"Pace Car", "Rival Green", playerVehicle, "Rival Amber"}, 2);
}

}  // namespace velmora::host
