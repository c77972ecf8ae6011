#include "drivers/udp/datagram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "datagram_bytes.h"
#include "tracking/raw_angle.h"

namespace velmora::udp {
namespace {

using raw_angle::DegreesToRaw;
using raw_angle::WrapDegrees;
using test::EncodeDatagram;

TEST(Datagram, SixLittleEndianDoublesDecodeInTheirOrder) {
    const auto bytes = EncodeDatagram(1.5, -2.25, 300.0, -45.0, 12.5, 179.0);
    const auto pose = DecodeDatagram(bytes.data(), bytes.size());
    ASSERT_TRUE(pose.has_value());
    EXPECT_EQ(pose->x, 1.5);
    EXPECT_EQ(pose->y, -2.25);
    EXPECT_EQ(pose->z, 300.0);
    EXPECT_EQ(pose->yaw, -45.0);
    EXPECT_EQ(pose->pitch, 12.5);
    EXPECT_EQ(pose->roll, 179.0);
}

TEST(Datagram, TheByteOrderIsLittleEndianWhateverTheMachine) {
    // 1.0 is 0x3FF0000000000000: the 0xF0 and 0x3F come last on the wire.
    std::vector<unsigned char> bytes(kDatagramSize, 0);
    bytes[3 * 8 + 6] = 0xF0;
    bytes[3 * 8 + 7] = 0x3F;
    const auto pose = DecodeDatagram(bytes.data(), bytes.size());
    ASSERT_TRUE(pose.has_value());
    EXPECT_EQ(pose->yaw, 1.0);
    EXPECT_EQ(pose->x, 0.0);
}

TEST(Datagram, AnySizeButFortyEightBytesIsIgnored) {
    const auto good = EncodeDatagram(0, 0, 0, 10, 20, 30);
    std::vector<unsigned char> bytes(good.begin(), good.end());
    bytes.resize(200, 0);
    for (const std::size_t size : {0u, 1u, 8u, 40u, 47u, 49u, 56u, 64u, 96u, 200u}) {
        EXPECT_FALSE(DecodeDatagram(bytes.data(), size).has_value()) << size << " bytes";
    }
    EXPECT_FALSE(DecodeDatagram(nullptr, kDatagramSize).has_value());
}

TEST(Datagram, ANaNOrAnInfinityInAnyOfTheSixValuesIsIgnored) {
    const double bad[] = {
        std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::signaling_NaN(),
        std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    for (int slot = 0; slot < 6; ++slot) {
        for (const double value : bad) {
            double values[6] = {1, 2, 3, 4, 5, 6};
            values[slot] = value;
            const auto bytes =
                EncodeDatagram(values[0], values[1], values[2], values[3], values[4], values[5]);
            EXPECT_FALSE(DecodeDatagram(bytes.data(), bytes.size()).has_value())
                << "slot " << slot << " value " << value;
        }
    }
}

TEST(Datagram, ExtremeFiniteValuesDecode) {
    const double big = std::numeric_limits<double>::max();
    const double tiny = std::numeric_limits<double>::denorm_min();
    const auto bytes = EncodeDatagram(big, -big, tiny, big, -0.0, -tiny);
    EXPECT_TRUE(DecodeDatagram(bytes.data(), bytes.size()).has_value());
}

struct AngleCase {
    double degrees;
    std::int32_t raw;
};

TEST(RawAngle, DegreesScaleToSixtyFiveThousandFiveHundredThirtySixUnitsAndWrapAtHalfATurn) {
    const AngleCase cases[] = {
        {0.0, 0},
        {-0.0, 0},
        {1.0, 182},  // 182.04
        {-1.0, -182},
        {45.0, 8192},
        {-90.0, -16384},
        {90.0, 16384},
        {179.99, 32766},           // 32766.18
        {179.998, 32768 - 65536},  // rounds to 32768, which is -32768 after the wrap
        {180.0, -32768},
        {-180.0, -32768},
        {-179.99, -32766},
        {181.0, -32586},  // -179 degrees
        {-181.0, 32586},
        {270.0, -16384},
        {360.0, 0},
        {720.5, 91},  // 91.02
        {-3600.0 - 45.0, -8192},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DegreesToRaw(c.degrees), c.raw) << c.degrees << " degrees";
    }
}

TEST(RawAngle, HugeAnglesWrapLikeTheirRemainderOfAWholeTurn) {
    for (const double degrees : {1e300, -1e300, std::numeric_limits<double>::max(), 1e17 + 12.0}) {
        EXPECT_EQ(DegreesToRaw(degrees), DegreesToRaw(std::fmod(degrees, 360.0))) << degrees;
    }
}

TEST(RawAngle, ANonFiniteAngleGivesZero) {
    EXPECT_EQ(DegreesToRaw(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(DegreesToRaw(std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(DegreesToRaw(-std::numeric_limits<double>::infinity()), 0);
}

TEST(RawAngle, WrappedDegreesStayInTheHalfOpenTurn) {
    for (double degrees = -1000.0; degrees <= 1000.0; degrees += 0.37) {
        const double wrapped = WrapDegrees(degrees);
        EXPECT_GE(wrapped, -180.0);
        EXPECT_LT(wrapped, 180.0);
        EXPECT_NEAR(std::remainder(wrapped - degrees, 360.0), 0.0, 1e-9) << degrees;
    }
}

}  // namespace
}  // namespace velmora::udp
