#include "common/vehicle_records.h"

#include <algorithm>
#include <cstring>

namespace velmora::host {

VehicleRecords::VehicleRecords() : list_(kListSize, 0) {}

void VehicleRecords::Build(const std::vector<Vehicle>& vehicles) {
    entries_.assign(std::max<std::size_t>(vehicles.size(), 1) * kEntrySize, 0);
    for (std::size_t i = 0; i < vehicles.size(); ++i) {
        unsigned char* entry = entries_.data() + i * kEntrySize;
        entry[kIsPlayerOffset] = vehicles[i].isPlayer ? 1 : 0;
        const std::string& name = vehicles[i].name;
        std::memcpy(entry + kNameOffset, name.data(), std::min(name.size(), kNameCapacity));
    }
    std::fill(list_.begin(), list_.end(), 0);
    SetCount(static_cast<std::int32_t>(vehicles.size()));
    const unsigned char* first = entries_.data();
    std::memcpy(list_.data() + kEntriesOffset, &first, sizeof first);
}

void VehicleRecords::BuildField(const std::string& playerVehicle) {
    Build({{"Pace Car"}, {"Rival Green"}, {playerVehicle, true}, {"Rival Amber"}});
}

void VehicleRecords::SetCount(std::int32_t count) {
    std::memcpy(list_.data() + kCountOffset, &count, sizeof count);
}

}  // namespace velmora::host
