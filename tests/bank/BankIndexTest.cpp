#include <gtest/gtest.h>

#include <filesystem>

#include "bank/Bank.h"
#include "bank/BankIndex.h"
#include "demo/VolumeBuilders.h"
#include "support/TempDir.h"

namespace velmorant::bank {
namespace {

using testing::DemoVolumeDir;
using testing::ReadText;
using testing::TempDir;

struct ParseCase {
    const char* label;
    std::string text;
    int result;
    std::int32_t itemCount;
    std::vector<std::pair<std::string, std::string>> entries;  // the first entries expected
};

class ParseBankIndexTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseBankIndexTest, ResultCountAndEntries) {
    const ParseCase& c = GetParam();
    BankIndex index;
    EXPECT_EQ(ParseBankIndex(index, c.text), c.result);
    EXPECT_EQ(index.itemCount, c.itemCount);
    ASSERT_GE(index.entries.size(), c.entries.size());
    ASSERT_LE(index.itemCount, index.lineCount);
    for (std::size_t i = 0; i < c.entries.size(); ++i) {
        EXPECT_EQ(index.entries[i].name, c.entries[i].first) << i;
        EXPECT_EQ(index.entries[i].categories, c.entries[i].second) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseBankIndexTest,
    ::testing::Values(
        ParseCase{"Valid", "Number of items: 2\r\nLead1:KB\r\nPad2:\r\n", 0, 2, {{"Lead1", "KB"}, {"Pad2", ""}}},
        ParseCase{"LineFeedsOnly", "Number of items: 2\nLead1:KB\nPad2\n", 0, 2, {{"Lead1", "KB"}, {"Pad2", ""}}},
        ParseCase{"TooFewNames", "Number of items: 5\r\nLead1:KB\r\nPad2:\r\n", -2, 2, {{"Lead1", "KB"}}},
        ParseCase{"FewerAnnounced", "Number of items: 1\r\nLead1:KB\r\nPad2:\r\n", 0, 1, {{"Lead1", "KB"}}},
        ParseCase{"EmptyLineBeforeCount", "\r\nNumber of items: 1\r\nLead1\r\n", -3, 0, {}},
        ParseCase{"Empty", "", -3, 0, {}},
        ParseCase{"ColonsAfterTheFirst", "Number of items: 1\r\nA:B:C\r\n", 0, 1, {{"A", "BC"}}},
        ParseCase{"LongFieldsAreCut", "Number of items: 1\r\n" + std::string(60, 'n') + ":" + std::string(50, 'c') + "\r\n",
                  0, 1, {{std::string(47, 'n'), std::string(47, 'c')}}},
        ParseCase{"TrailingSpacesGo", "Number of items: 1\r\n  Piano   \r\n", 0, 1, {{"  Piano", ""}}},
        ParseCase{"BlankLinesAreEntriesButNotNames", "Number of items: 2\r\n   \r\nX\r\n", -2, 1, {{"", ""}, {"X", ""}}},
        ParseCase{"ControlAndHighBytesDropped", "Number of items: 1\r\nPi\tan\xE9o\x01\r\n", 0, 1, {{"Piano", ""}}},
        ParseCase{"LastLineWithoutLineEnd", "Number of items: 2\r\nA\r\nB", 0, 2, {{"A", ""}, {"B", ""}}},
        ParseCase{"NegativeCountMeansNone", "Number of items: -4\r\nA\r\n", 0, 0, {{"A", ""}}},
        ParseCase{"HugeCountIsLowered", "Number of items: 99999999999999999999\r\nA\r\n", -2, 1, {{"A", ""}}},
        ParseCase{"NoDigits", "Number of items\r\nA\r\n", 0, 0, {{"A", ""}}}),
    [](const auto& info) { return info.param.label; });

TEST(ParseBankIndexTest, KeepsAtMost513Entries) {
    std::string text = "Number of items: 600\r\n";
    for (int i = 0; i < 600; ++i) {
        text += "P" + std::to_string(i) + "\r\n";
    }
    BankIndex index;
    EXPECT_EQ(ParseBankIndex(index, text), -2);
    EXPECT_EQ(index.lineCount, 513);
    EXPECT_EQ(index.itemCount, 513);
    EXPECT_EQ(index.entries.back().name, "P512");
}

TEST(ReadBankIndexTest, MissingFileCannotBeOpened) {
    TempDir dir;
    BankIndex index;
    EXPECT_EQ(ReadBankIndex(index, dir({"bank.txt"})), -1);
    EXPECT_EQ(ReadBankIndex(index, dir.path()), -1);
}

TEST(WriteBankIndexTest, OneCrLfLinePerSlotAndCountOfOccupied) {
    TempDir dir;
    Bank bank;
    bank.slots[0] = {};
    bank.slots[0].defined = 1;
    bank.slots[0].programName = "Grand Piano";
    bank.slots[0].categories = "AM";
    bank.slots[2].defined = 1;
    bank.slots[2].programName = "Pad";
    bank.slots[2].categories = "not defined";
    ASSERT_EQ(WriteBankIndex(bank, dir({"bank.txt"})), 1);
    std::string expected = "Number of items: 2\r\nGrand Piano:AM\r\n\r\nPad\r\n";
    for (int i = 3; i < 128; ++i) {
        expected += "\r\n";
    }
    EXPECT_EQ(ReadText(dir({"bank.txt"})), expected);

    // Read back, the count covers A1 and the empty line of A2.
    BankIndex index;
    EXPECT_EQ(ReadBankIndex(index, dir({"bank.txt"})), 0);
    EXPECT_EQ(index.itemCount, 2);
    EXPECT_EQ(index.lineCount, 128);
    EXPECT_EQ(index.entries[1].name, "");

    EXPECT_EQ(WriteBankIndex(bank, dir({"missing", "bank.txt"})), -3);
    EXPECT_TRUE(bank.bankLog.log.ends_with("can,not open Multisample destination file (" +
                                           dir({"missing", "bank.txt"}) + ")\n\r\n"));
}

TEST(WriteFolderIndexTest, ListsMatchingExtensionsOfLongEnoughNames) {
    TempDir dir;
    for (const char* name : {"Piano.AFP", "bass.afp", "x.afp", "Organ.afi", "a.af", "Kit.afpx"}) {
        ASSERT_TRUE(demo::WriteText(dir({name}), "x"));
    }
    ASSERT_EQ(WriteFolderIndex(dir.path(), FolderKind::kPrograms), 1);
    const std::string text = ReadText(dir({"bank.txt"}));
    EXPECT_TRUE(text.starts_with("Number of items: 4\r\n")) << text;
    for (const char* name : {"Piano\r\n", "bass\r\n", "x\r\n", "Kit\r\n"}) {
        EXPECT_NE(text.find(name), std::string::npos) << name;
    }
    EXPECT_EQ(text.find("Organ"), std::string::npos);

    ASSERT_TRUE(std::filesystem::create_directory(dir({"empty"})));
    ASSERT_EQ(WriteFolderIndex(dir({"empty"}), FolderKind::kSamples), 1);
    EXPECT_EQ(ReadText(dir({"empty", "bank.txt"})), "Number of items: 0\r\n");
    EXPECT_EQ(WriteFolderIndex(dir({"nowhere"}), FolderKind::kSamples), -1);
}

TEST(FindProgramCategoriesTest, FirstMatchingLineOfTheFoldersIndex) {
    TempDir dir;
    volume::ProgramRecord record;
    record.programName = "Lead";
    record.sourcePath = dir({"Bank", "Lead.afp"});

    FindProgramCategories(record);
    EXPECT_EQ(record.categories, "not defined");  // no bank.txt

    ASSERT_TRUE(demo::WriteText(dir({"Bank", "bank.txt"}),
                                "Number of items: 3\r\nlead:B\r\nLead:KM\r\nLead:C\r\n"));
    FindProgramCategories(record);
    EXPECT_EQ(record.categories, "KM");

    ASSERT_TRUE(demo::WriteText(dir({"Bank", "bank.txt"}), "Number of items: 3\r\nLead:" + std::string(30, 'A') + "\r\n"));
    FindProgramCategories(record);  // rejected index (too few names)
    EXPECT_EQ(record.categories, "not defined");

    ASSERT_TRUE(demo::WriteText(dir({"Bank", "bank.txt"}), "Number of items: 1\r\nLead:" + std::string(30, 'A') + "\r\n"));
    FindProgramCategories(record);
    EXPECT_EQ(record.categories, std::string(19, 'A'));
}

}  // namespace
}  // namespace velmorant::bank
