#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::host {

// The game's vehicle list as UpdateVehicles receives it: a list record that counts the entries
// and points at them, and the entries one after another. Only the bytes the plug-in reads are
// filled; every other byte belongs to the game and is zero here.
class VehicleRecords {
public:
    static constexpr std::size_t kListSize = 512;
    static constexpr std::size_t kCountOffset = 88;
    // A pointer: 4 bytes on 32-bit builds, 8 on 64-bit ones, within the 512 either way.
    static constexpr std::size_t kEntriesOffset = 488;
    static constexpr std::size_t kEntrySize = 428;
    static constexpr std::size_t kIsPlayerOffset = 148;
    static constexpr std::size_t kNameOffset = 152;
    static constexpr std::size_t kNameCapacity = kEntrySize - kNameOffset;

    struct Vehicle {
        std::string name;  // a name of kNameCapacity bytes or more fills its field unterminated
        bool isPlayer = false;
    };

    VehicleRecords();
    VehicleRecords(const VehicleRecords&) = delete;
    VehicleRecords& operator=(const VehicleRecords&) = delete;

    void Build(const std::vector<Vehicle>& vehicles);
    // A race field around the player's car: the same rivals every time, the player third, so the
    // plug-in has to look for the marked entry rather than take the first.
    void BuildField(const std::string& playerVehicle);
    // What the list says it counts, whatever it holds (0 or a negative count, say).
    void SetCount(std::int32_t count);
    const void* List() const { return list_.data(); }

private:
    std::vector<unsigned char> list_;
    std::vector<unsigned char> entries_;
};

}  // namespace velmora::host
