// The bridge's parts against hand-made values: the datagram's bytes, the conversion of degrees
// to the tracker's raw units, the settings file, and the pose with its zero and staleness.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>

#include "drivers/udp/bridge_settings.h"
#include "drivers/udp/datagram.h"
#include "drivers/udp/pose_keeper.h"
#include "drivers/raw_angle.h"

namespace velmora::udp {
namespace {

// Six doubles whose two high bytes, the last two of each on the wire, are all there is to them.
std::array<unsigned char, kDatagramSize> Wire(const std::array<std::uint16_t, 6>& highBytes) {
    std::array<unsigned char, kDatagramSize> bytes{};
    for (std::size_t i = 0; i < 6; ++i) {
        bytes[8 * i + 6] = static_cast<unsigned char>(highBytes[i] & 0xFF);
        bytes[8 * i + 7] = static_cast<unsigned char>(highBytes[i] >> 8);
    }
    return bytes;
}

// x 1.5, y -2.25, z 100, yaw -30, pitch 20, roll 10.
constexpr std::array<std::uint16_t, 6> kPose = {0x3FF8, 0xC002, 0x4059, 0xC03E, 0x4034, 0x4024};

TEST(Datagram, SixLittleEndianDoublesDecodeInTheirOrderAndEncodeBackToTheSameBytes) {
    const auto bytes = Wire(kPose);
    const auto pose = DecodeDatagram(bytes.data(), bytes.size());
    ASSERT_TRUE(pose.has_value());
    EXPECT_EQ((std::array{pose->x, pose->y, pose->z, pose->yaw, pose->pitch, pose->roll}),
              (std::array{1.5, -2.25, 100.0, -30.0, 20.0, 10.0}));
    EXPECT_EQ(EncodeDatagram(*pose), bytes);
}

TEST(RawAngle, DegreesScaleToSixtyFiveThousandFiveHundredThirtySixUnitsAndWrapAtHalfATurn) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double degrees;
        std::int32_t raw;
    } cases[] = {
        {0.0, 0},          {1.0, 182},                         // 182.04
        {45.0, 8192},      {-90.0, -16384},  {179.99, 32766},  // 32766.18
        {179.998, -32768},  // 32767.64 rounds to 32768, which wraps
        {180.0, -32768},   {-180.0, -32768}, {-179.99, -32766}, {181.0, -32586},
        {720.5, 91},       {-3645.0, -8192}, {nan, 0},          {inf, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(raw_angle::DegreesToRaw(c.degrees), c.raw) << c.degrees << " degrees";
    }
}

TEST(BridgeSettings, EveryKeyReachesItsFieldInAnyLetterCaseAndTheLastReadableLineWins) {
    EXPECT_EQ(LoadSettings("no-such-directory/IWEARDRV.cfg"),
              (BridgeSettings{0x7F000001, 4242, 500, {}, {}, {}}));
    const BridgeSettings read = ParseSettings(
        "address = 192.168.1.20\r\nPORT=1234\r\nport = 5555 ; port = 6000\nport = many\n"
        "  Staleness_MS  =  250\ninvert_yaw = TRUE\ninvert_pitch = 1\ninvert_roll = true\n"
        "offset_yaw = -12.5\noffset_pitch = +3\noffset_roll = 1e1\n");
    const BridgeSettings expected{0xC0A80114, 5555, 250, {true, -12.5}, {false, 3.0}, {true, 10.0}};
    EXPECT_EQ(read, expected);
}

TEST(BridgeSettings, AValueOutsideItsRangeOrNotWhollyANumberChangesNothing) {
    for (const char* line :
         {"port = 0", "port = 65536", "port = 42x", "port = 0x10", "address = localhost",
          "address = 0.0.0.0", "address = 224.0.0.1", "address = 127.0.0.256", "address = 127.0.0",
          "address = 127.0.0.1.1", "staleness_ms = 0", "staleness_ms = 60001", "staleness_ms = 1e3",
          "offset_roll = 180.5", "offset_roll = -200", "offset_roll = nan", "offset_roll = 10deg",
          "offset_roll = 1,5"}) {
        EXPECT_EQ(ParseSettings(line), BridgeSettings{}) << line;
    }
}

// The sender counts yaw positive to the right, the plug-in to the left; pitch up and roll right
// are positive to both. Half a turn either way is the end of the tracker's range.
TEST(PoseKeeper, APoseReadsInThePluginsSenseUntilItIsOlderThanTheStalenessLimitOrForgotten) {
    PoseKeeper keeper;
    EXPECT_EQ(keeper.Read(0), std::nullopt) << "before the first pose";
    keeper.Accept({0.0, 0.0, 0.0, -30.0, 20.0, 10.0}, 1000);
    EXPECT_EQ(keeper.Read(1500), (RawReading{5461, 3641, 1820}))
        << "the default limit: half a second";
    EXPECT_EQ(keeper.Read(1501), std::nullopt);
    EXPECT_NE(keeper.Read(900), std::nullopt) << "a clock that went back is no age";
    keeper.Configure({.stalenessMs = 300, .yaw = {}, .pitch = {}, .roll = {}});
    keeper.Accept({0.0, 0.0, 0.0, 180.0, 180.0, -180.0}, 2000);
    EXPECT_EQ(keeper.Read(2300), (RawReading{-32768, -32768, -32768}));
    EXPECT_EQ(keeper.Read(2301), std::nullopt);
    keeper.Accept({0.0, 0.0, 0.0, 1.0, 1.0, 1.0}, 3000);
    keeper.Forget();
    EXPECT_EQ(keeper.Read(3000), std::nullopt);
}

// A reset pressed while the sender is quiet centres on the pose that comes when it resumes. Each
// angle is then measured from the zero, inverted, offset; a turn across the sender's +-180 seam is
// a small turn, and the zero outlives a Forget.
TEST(PoseKeeper, TheZeroIsTheNextFreshPoseAndInversionAndOffsetApplyAfterIt) {
    PoseKeeper keeper;
    keeper.Configure({.yaw = {true, 10.0}, .pitch = {false, -5.0}, .roll = {}});
    keeper.Accept({0.0, 0.0, 0.0, 100.0, 0.0, 0.0}, 0);
    keeper.RequestZero();
    EXPECT_EQ(keeper.Read(1000), std::nullopt);
    keeper.Accept({0.0, 0.0, 0.0, 170.0, -20.0, 5.0}, 2000);
    EXPECT_EQ(keeper.Read(2000), (RawReading{-1820, -910, 0}));
    keeper.Forget();
    // 20 degrees right of the zero, 10 up and 5 to the left: yaw -20 + 10 is 10 to the left.
    keeper.Accept({0.0, 0.0, 0.0, -170.0, -10.0, 0.0}, 3000);
    EXPECT_EQ(keeper.Read(3000), (RawReading{1820, 910, -910}));
}

}  // namespace
}  // namespace velmora::udp
