#include "vehicle_records.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using velmora::host::VehicleRecords;

// Reads the record back the way the plug-in does: by byte offset, never through a struct.
struct ReadBack {
    std::int32_t count = 0;
    const unsigned char* entries = nullptr;

    explicit ReadBack(const VehicleRecords& records) {
        const auto* list = static_cast<const unsigned char*>(records.List());
        std::memcpy(&count, list + 88, sizeof count);
        std::memcpy(&entries, list + 488, sizeof entries);
    }
    bool IsPlayer(int index) const { return entries[index * 428 + 148] != 0; }
    std::string Name(int index) const {
        return reinterpret_cast<const char*>(entries + index * 428 + 152);
    }
};

TEST(VehicleRecords, PutCountPointerFlagsAndNamesAtTheHostsOffsets) {
    VehicleRecords records;
    records.Build({"Pace Car", "Formula Red", "Touring Blue"}, 1);
    const ReadBack back(records);
    ASSERT_EQ(back.count, 3);
    ASSERT_NE(back.entries, nullptr);
    EXPECT_EQ(back.Name(0), "Pace Car");
    EXPECT_EQ(back.Name(1), "Formula Red");
    EXPECT_EQ(back.Name(2), "Touring Blue");
    EXPECT_FALSE(back.IsPlayer(0));
    EXPECT_TRUE(back.IsPlayer(1));
    EXPECT_FALSE(back.IsPlayer(2));
}

TEST(VehicleRecords, LeaveEveryByteTheHostOwnsZero) {
    VehicleRecords records;
    records.Build({"A", "B"}, 0);
    const auto* list = static_cast<const unsigned char*>(records.List());
    for (std::size_t i = 0; i < VehicleRecords::kListSize; ++i) {
        const bool count = i >= 88 && i < 92;
        const bool pointer = i >= 488 && i < 488 + sizeof(void*);
        if (!count && !pointer) {
            ASSERT_EQ(list[i], 0) << "list byte " << i;
        }
    }
    const ReadBack back(records);
    for (std::size_t i = 0; i < 2 * 428; ++i) {
        const std::size_t offset = i % 428;
        if (offset != 148 && offset != 152) {
            ASSERT_EQ(back.entries[i], 0) << "entry byte " << i;
        }
    }
}

TEST(VehicleRecords, CutANameTooLongForItsEntryAndKeepItsNul) {
    VehicleRecords records;
    records.Build({std::string(400, 'x'), "Next"}, -1);
    const ReadBack back(records);
    EXPECT_EQ(back.Name(0), std::string(428 - 152 - 1, 'x'));
    EXPECT_EQ(back.Name(1), "Next");
    EXPECT_FALSE(back.IsPlayer(0));
    EXPECT_FALSE(back.IsPlayer(1));
}

TEST(VehicleRecords, RebuiltWithFewerCarsCountOnlyTheNewField) {
    VehicleRecords records;
    records.Build({"A", "B", "C", "D"}, 3);
    records.Build({"Solo"}, 0);
    const ReadBack back(records);
    EXPECT_EQ(back.count, 1);
    EXPECT_EQ(back.Name(0), "Solo");
    EXPECT_TRUE(back.IsPlayer(0));
}

TEST(VehicleRecords, RaceFieldMarksOnlyThePlayersCarAndItIsNotFirst) {
    VehicleRecords records;
    records.BuildField("Touring Blue");
    const ReadBack back(records);
    ASSERT_GT(back.count, 2);
    int marked = 0;
    for (int i = 0; i < back.count; ++i) {
        if (back.IsPlayer(i)) {
            ++marked;
            EXPECT_EQ(back.Name(i), "Touring Blue");
            EXPECT_GT(i, 0);
        }
    }
    EXPECT_EQ(marked, 1);
}

}  // namespace
