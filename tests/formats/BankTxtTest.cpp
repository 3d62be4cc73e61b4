#include <gtest/gtest.h>

#include "formats/BankTxt.h"
#include "support/TempDir.h"

namespace velmorant::formats {
namespace {

using testing::ReadText;
using testing::TempDir;

constexpr BankTxtResult V = BankTxtResult::kValid;
constexpr BankTxtResult F = BankTxtResult::kTooFewNames;
constexpr BankTxtResult N = BankTxtResult::kNoCountLine;

struct ParseCase {
    const char* label;
    std::string text;
    BankTxtResult result;
    std::int32_t itemCount;
    std::vector<std::pair<std::string, std::string>> entries;  // the first entries expected
};

class ParseBankTxtTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseBankTxtTest, ResultCountAndEntries) {
    const ParseCase& c = GetParam();
    BankTxt index;
    EXPECT_EQ(ParseBankTxt(index, c.text), c.result);
    EXPECT_EQ(index.itemCount, c.itemCount);
    ASSERT_GE(index.entries.size(), c.entries.size());
    ASSERT_LE(index.itemCount, index.lineCount);
    for (std::size_t i = 0; i < c.entries.size(); ++i) {
        EXPECT_EQ(index.entries[i].name, c.entries[i].first) << i;
        EXPECT_EQ(index.entries[i].categories, c.entries[i].second) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseBankTxtTest,
    ::testing::Values(
        ParseCase{"Valid", "Number of items: 2\r\nLead1:KB\r\nPad2:\r\n", V, 2, {{"Lead1", "KB"}, {"Pad2", ""}}},
        ParseCase{"LineFeedsOnly", "Number of items: 2\nLead1:KB\nPad2\n", V, 2, {{"Lead1", "KB"}, {"Pad2", ""}}},
        ParseCase{"TooFewNames", "Number of items: 5\r\nLead1:KB\r\nPad2:\r\n", F, 2, {{"Lead1", "KB"}}},
        ParseCase{"FewerAnnounced", "Number of items: 1\r\nLead1:KB\r\nPad2:\r\n", V, 1, {{"Lead1", "KB"}}},
        ParseCase{"EmptyLineBeforeCount", "\r\nNumber of items: 1\r\nLead1\r\n", N, 0, {}},
        ParseCase{"Empty", "", N, 0, {}},
        ParseCase{"ColonsAfterTheFirst", "Number of items: 1\r\nA:B:C\r\n", V, 1, {{"A", "BC"}}},
        ParseCase{"LongFieldsAreCut", "Number of items: 1\r\n" + std::string(60, 'n') + ":" + std::string(50, 'c') + "\r\n",
                  V, 1, {{std::string(47, 'n'), std::string(47, 'c')}}},
        ParseCase{"TrailingSpacesGo", "Number of items: 1\r\n  Piano   \r\n", V, 1, {{"  Piano", ""}}},
        ParseCase{"BlankLinesAreEntriesButNotNames", "Number of items: 2\r\n   \r\nX\r\n", F, 1, {{"", ""}, {"X", ""}}},
        ParseCase{"ControlDroppedHighBytesKept", "Number of items: 1\r\nPi\tan\xE9o\x01\x1F \x7F:\x80\r\n", V, 1,
                  {{"Pian\xE9o \x7F", "\x80"}}},
        ParseCase{"LastLineWithoutLineEnd", "Number of items: 2\r\nA\r\nB", V, 2, {{"A", ""}, {"B", ""}}},
        ParseCase{"NegativeCountMeansNone", "Number of items: -4\r\nA\r\n", V, 0, {{"A", ""}}},
        ParseCase{"HugeCountIsLowered", "Number of items: 99999999999999999999\r\nA\r\n", F, 1, {{"A", ""}}},
        ParseCase{"NoDigits", "Number of items\r\nA\r\n", V, 0, {{"A", ""}}}),
    [](const auto& info) { return info.param.label; });

TEST(ParseBankTxtTest, KeepsAtMost513Entries) {
    std::string text = "Number of items: 600\r\n";
    for (int i = 0; i < 600; ++i) {
        text += "P" + std::to_string(i) + "\r\n";
    }
    BankTxt index;
    EXPECT_EQ(ParseBankTxt(index, text), F);
    EXPECT_EQ(index.lineCount, 513);
    EXPECT_EQ(index.itemCount, 513);
    EXPECT_EQ(index.entries.back().name, "P512");
}

TEST(BankTxtTest, EveryHighByteSurvivesWriteAndRead) {
    TempDir dir;
    std::string high;
    for (int b = 0x80; b <= 0xFF; ++b) {
        high.push_back(static_cast<char>(b));
    }
    // Names are cut at 47 bytes: the 128 high bytes go over three names.
    const std::vector<std::optional<BankTxtEntry>> lines = {
        BankTxtEntry{"Caf\xE9", "AB"}, std::nullopt, BankTxtEntry{high.substr(0, 47), high.substr(47, 47)},
        BankTxtEntry{high.substr(94), ""}};
    ASSERT_EQ(WriteBankTxt(lines, dir({"bank.txt"})), V);
    EXPECT_TRUE(ReadText(dir({"bank.txt"})).starts_with("Number of items: 3\r\nCaf\xE9:AB\r\n\r\n"));

    BankTxt index;
    ASSERT_EQ(ReadBankTxt(index, dir({"bank.txt"})), V);
    ASSERT_EQ(index.entries.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(index.entries[i].name, lines[i] ? lines[i]->name : "") << i;
        EXPECT_EQ(index.entries[i].categories, lines[i] ? lines[i]->categories : "") << i;
    }

    EXPECT_EQ(ReadBankTxt(index, dir({"missing.txt"})), BankTxtResult::kCannotOpen);
    EXPECT_EQ(ReadBankTxt(index, dir.path()), BankTxtResult::kCannotOpen);
    EXPECT_TRUE(index.entries.empty());
    EXPECT_EQ(WriteBankTxt(lines, dir({"missing", "bank.txt"})), BankTxtResult::kCannotWrite);
}

}  // namespace
}  // namespace velmorant::formats
