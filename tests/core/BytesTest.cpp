#include <gtest/gtest.h>

#include <limits>

#include "core/Bytes.h"
#include "support/CreateFixtures.h"

namespace velmorant::core {
namespace {

// Each writer puts exactly its bytes at its offset, in its order, and the reader reads them back.
TEST(BytesTest, EveryWidthInItsByteOrderRoundTrips) {
    std::vector<std::uint8_t> data(13, 0);
    ByteWriter writer(data);
    ASSERT_TRUE(writer.u16le(1, 0x1234) && writer.u16be(3, 0x1234) && writer.u32le(5, 0x12345678) &&
                writer.u32be(9, 0x12345678));
    EXPECT_EQ(data, testing::Hex("00 3412 1234 78563412 12345678"));
    const ByteReader reader(data);
    EXPECT_EQ(std::make_tuple(reader.u16le(1), reader.u16be(3), reader.u32le(5), reader.u32be(9)),
              std::make_tuple(0x1234, 0x1234, 0x12345678u, 0x12345678u));
    EXPECT_EQ(reader.u32be(2), 0x12123478u);  // unaligned
    EXPECT_FALSE(writer.u32be(10, 1));
    EXPECT_FALSE(writer.fixedText(4, "toolong", 10, ' '));

    std::vector<std::uint8_t> text(8, 0);
    ASSERT_TRUE(ByteWriter(text).pairSwappedText(0, "Piano", 8, ' '));
    EXPECT_EQ(std::string(text.begin(), text.end()), "iPna o  ");
    EXPECT_EQ(ByteReader(text).pairSwappedText(0, 8), "Piano   ");
}

TEST(BytesTest, RefusesEveryReadPastTheEnd) {
    const std::vector<std::uint8_t> data(10, 0);
    const ByteReader reader(data);
    EXPECT_FALSE(reader.u8(10).has_value());
    EXPECT_FALSE(reader.u16be(9).has_value());
    EXPECT_FALSE(reader.u32be(7).has_value());
    EXPECT_FALSE(reader.bytes(4, 7).has_value());
    EXPECT_TRUE(reader.bytes(4, 6).has_value());
    // Offsets near the top of the address range must not wrap around.
    const std::size_t huge = std::numeric_limits<std::size_t>::max() - 1;
    EXPECT_FALSE(reader.bytes(huge, 4).has_value());
    EXPECT_FALSE(reader.bytes(4, huge).has_value());
    EXPECT_FALSE(reader.pairSwappedText(0, 3).has_value());
}

}  // namespace
}  // namespace velmorant::core
