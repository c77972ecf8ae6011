#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "plugin/vehicle_list.h"

namespace velmora::test {

// A vehicle list laid out as the host lays it out, the vehicles owned by the builder.
class VehicleList {
public:
    explicit VehicleList(std::vector<std::pair<std::string, bool>> vehicles)
        : entries_(vehicles.size() * vehicle_layout::kEntrySize) {
        for (std::size_t i = 0; i < vehicles.size(); ++i) {
            unsigned char* entry = entries_.data() + i * vehicle_layout::kEntrySize;
            entry[vehicle_layout::kIsPlayerOffset] = vehicles[i].second ? 1 : 0;
            const std::string& name = vehicles[i].first;
            std::memcpy(entry + vehicle_layout::kNameOffset, name.data(),
                        std::min(name.size(), vehicle_layout::kNameCapacity));
        }
        SetCount(static_cast<std::int32_t>(vehicles.size()));
        unsigned char* first = entries_.empty() ? nullptr : entries_.data();
        std::memcpy(record_ + vehicle_layout::kVehiclesOffset, &first, sizeof first);
    }
    void SetCount(std::int32_t count) {
        std::memcpy(record_ + vehicle_layout::kCountOffset, &count, sizeof count);
    }
    const VehicleListInfo* get() const { return reinterpret_cast<const VehicleListInfo*>(record_); }

private:
    alignas(8) unsigned char record_[512] = {};
    std::vector<unsigned char> entries_;
};

}  // namespace velmora::test
