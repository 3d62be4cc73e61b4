#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "core/Bytes.h"

namespace velmorant::core {
namespace {

TEST(ByteReaderTest, ReadsBigAndLittleEndian) {
    const std::vector<std::uint8_t> data = {0x12, 0x34, 0x56, 0x78, 0x9A};
    const ByteReader reader(data);
    EXPECT_EQ(reader.u16be(0), 0x1234);
    EXPECT_EQ(reader.u32be(1), 0x3456789Au);
    EXPECT_EQ(reader.u16le(0), 0x3412);
    EXPECT_EQ(reader.u32le(0), 0x78563412u);
}

TEST(ByteReaderTest, RefusesEveryReadPastTheEnd) {
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

// Each writer puts exactly its bytes at the offset, in its order, and the reader reads them back.
TEST(ByteWriterTest, WritesEveryWidthInItsByteOrder) {
    struct Row {
        std::function<bool(ByteWriter&)> write;
        std::function<std::optional<std::uint32_t>(const ByteReader&)> read;
        std::uint32_t value;
        std::vector<std::uint8_t> bytes;
    };
    const Row rows[] = {
        {[](ByteWriter& w) { return w.u16le(1, 0x1234); }, [](const ByteReader& r) { return r.u16le(1); }, 0x1234,
         {0, 0x34, 0x12, 0, 0, 0}},
        {[](ByteWriter& w) { return w.u16be(1, 0x1234); }, [](const ByteReader& r) { return r.u16be(1); }, 0x1234,
         {0, 0x12, 0x34, 0, 0, 0}},
        {[](ByteWriter& w) { return w.u32le(1, 0x12345678); }, [](const ByteReader& r) { return r.u32le(1); },
         0x12345678, {0, 0x78, 0x56, 0x34, 0x12, 0}},
        {[](ByteWriter& w) { return w.u32be(1, 0x12345678); }, [](const ByteReader& r) { return r.u32be(1); },
         0x12345678, {0, 0x12, 0x34, 0x56, 0x78, 0}}};
    for (const Row& row : rows) {
        std::vector<std::uint8_t> data(6, 0);
        ByteWriter writer(data);
        ASSERT_TRUE(row.write(writer));
        EXPECT_EQ(data, row.bytes);
        EXPECT_EQ(row.read(ByteReader(data)), row.value);
    }
}

TEST(ByteWriterTest, PairSwappedTextRoundTrips) {
    std::vector<std::uint8_t> data(8, 0);
    ByteWriter writer(data);
    ASSERT_TRUE(writer.pairSwappedText(0, "Piano", 8, ' '));
    EXPECT_EQ(std::string(data.begin(), data.end()), "iPna o  ");
    EXPECT_EQ(ByteReader(data).pairSwappedText(0, 8), "Piano   ");
    EXPECT_FALSE(writer.u32be(6, 1));
    EXPECT_FALSE(writer.fixedText(4, "toolong", 6, ' '));
}

}  // namespace
}  // namespace velmorant::core
