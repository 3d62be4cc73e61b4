#include <gtest/gtest.h>

#include "formats/MultisampleFile.h"

namespace velmorant::formats {
namespace {

std::vector<std::uint8_t> Built(std::size_t zones) {
    std::vector<MultisampleZoneEntry> entries(zones);
    for (std::size_t i = 0; i < zones; ++i) {
        entries[i].reference = EncodeReference("", "Keys", "S" + std::to_string(i), '\0');
        entries[i].leftKey = static_cast<std::uint8_t>(i);
        entries[i].rightKey = static_cast<std::uint8_t>(i + 10);
    }
    std::vector<std::uint8_t> file;
    EXPECT_EQ(BuildMultisample(entries, file), MultisampleResult::kDone);
    return file;
}

// The entries inside the file are listed; the first one missing is named by its offset.
TEST(ReadMultisampleTest, ListsTheEntriesInsideTheFileAndNamesWhatIsMissing) {
    const struct {
        std::size_t zones;
        std::size_t cutTo;  // the file's length after the build, 0 keeps it whole
        int countByte;      // written over byte 17 when >= 0
        MultisampleResult result;
        std::size_t entries;
        std::size_t problemOffset;
    } rows[] = {{3, 0, -1, MultisampleResult::kDone, 3, 0},
                {0, 0, -1, MultisampleResult::kDone, 0, 0},
                {1, 17, -1, MultisampleResult::kNoCount, 0, 17},
                // The last entry's reference ends at 20 + 100 + 72: one byte less cuts it.
                {2, 191, -1, MultisampleResult::kEntryPastEnd, 1, 120},
                {2, 192, -1, MultisampleResult::kDone, 2, 0},
                {2, 0, 200, MultisampleResult::kEntryPastEnd, 2, 220}};
    for (const auto& c : rows) {
        auto file = Built(c.zones);
        if (c.countByte >= 0) file[kMultisampleCountOffset] = static_cast<std::uint8_t>(c.countByte);
        if (c.cutTo != 0) file.resize(c.cutTo);
        const MultisampleContents contents = ReadMultisample(file);
        EXPECT_EQ(contents.result, c.result) << c.cutTo;
        ASSERT_EQ(contents.entries.size(), c.entries) << c.cutTo;
        EXPECT_EQ(contents.problemOffset, c.problemOffset) << c.cutTo;
        for (std::size_t i = 0; i < contents.entries.size(); ++i) {
            EXPECT_EQ(contents.entries[i].offset, 20 + 100 * i);
            EXPECT_EQ(DecodeReference(contents.entries[i].reference, VolumeRule::kMultisample, 1).name, "S" + std::to_string(i));
        }
    }
}

TEST(BuildMultisampleTest, HeaderCountsTheZonesAndEntriesKeepTheirKeys) {
    const auto file = Built(2);
    ASSERT_EQ(file.size(), 220u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "S80i");
    EXPECT_EQ(file[7], 220 - 8);
    EXPECT_EQ(file[kMultisampleCountOffset], 2);
    EXPECT_EQ(file[120 + kEntryRightKey], 11);
    EXPECT_EQ(file[120 + kEntryLeftKey], 1);

    std::vector<std::uint8_t> tooMany{1};
    EXPECT_EQ(BuildMultisample(std::vector<MultisampleZoneEntry>(256), tooMany), MultisampleResult::kTooManyEntries);
    EXPECT_TRUE(tooMany.empty());
    EXPECT_EQ(WriteMultisample({}, "/nonexistent-folder/x.afi"), MultisampleResult::kCannotWrite);
    EXPECT_EQ(MultisampleMessage(MultisampleResult::kEntryPastEnd, "/v/M.afi", 220),
              "/v/M.afi: offset 220 (sample entry): the file ends inside the entry");
}

}  // namespace
}  // namespace velmorant::formats
