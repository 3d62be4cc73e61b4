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

// Each text: the result, the count and the first entries expected (name, categories).
TEST(ParseBankTxtTest, ResultCountAndEntries) {
    const std::tuple<const char*, std::string, BankTxtResult, std::int32_t, std::vector<std::pair<std::string, std::string>>> rows[] = {
        {"Valid", "Number of items: 2\r\nLead1:KB\r\nPad2:\r\n", V, 2, {{"Lead1", "KB"}, {"Pad2", ""}}},
        {"LineFeedsOnly", "Number of items: 2\nLead1:KB\nPad2\n", V, 2, {{"Lead1", "KB"}, {"Pad2", ""}}},
        {"TooFewNames", "Number of items: 5\r\nLead1:KB\r\nPad2:\r\n", F, 2, {{"Lead1", "KB"}}},
        {"FewerAnnounced", "Number of items: 1\r\nLead1:KB\r\nPad2:\r\n", V, 1, {{"Lead1", "KB"}}},
        {"EmptyLineBeforeCount", "\r\nNumber of items: 1\r\nLead1\r\n", N, 0, {}},
        {"Empty", "", N, 0, {}},
        {"ColonsAfterTheFirst", "Number of items: 1\r\nA:B:C\r\n", V, 1, {{"A", "BC"}}},
        {"LongFieldsAreCut", "Number of items: 1\r\n" + std::string(60, 'n') + ":" + std::string(50, 'c') + "\r\n", V, 1,
         {{std::string(47, 'n'), std::string(47, 'c')}}},
        {"TrailingSpacesGo", "Number of items: 1\r\n  Piano   \r\n", V, 1, {{"  Piano", ""}}},
        {"BlankLinesAreEntriesButNotNames", "Number of items: 2\r\n   \r\nX\r\n", F, 1, {{"", ""}, {"X", ""}}},
        {"ControlDroppedHighBytesKept", "Number of items: 1\r\nPi\tan\xE9o\x01\x1F \x7F:\x80\r\n", V, 1,
         {{"Pian\xE9o \x7F", "\x80"}}},
        {"LastLineWithoutLineEnd", "Number of items: 2\r\nA\r\nB", V, 2, {{"A", ""}, {"B", ""}}},
        {"NegativeCountMeansNone", "Number of items: -4\r\nA\r\n", V, 0, {{"A", ""}}},
        {"HugeCountIsLowered", "Number of items: 99999999999999999999\r\nA\r\n", F, 1, {{"A", ""}}},
        {"NoDigits", "Number of items\r\nA\r\n", V, 0, {{"A", ""}}}};
    for (const auto& [label, text, result, itemCount, entries] : rows) {
        BankTxt index;
        EXPECT_EQ(ParseBankTxt(index, text), result) << label;
        EXPECT_EQ(index.itemCount, itemCount) << label;
        ASSERT_GE(index.entries.size(), entries.size()) << label;
        ASSERT_LE(index.itemCount, index.lineCount) << label;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(std::tie(index.entries[i].name, index.entries[i].categories), std::tie(entries[i].first, entries[i].second))
                << label << " " << i;
        }
    }
}

TEST(ParseBankTxtTest, KeepsAtMost513Entries) {
    std::string text = "Number of items: 600\r\n";
    for (int i = 0; i < 600; ++i) text += "P" + std::to_string(i) + "\r\n";
    BankTxt index;
    EXPECT_EQ(ParseBankTxt(index, text), F);
    EXPECT_EQ(index.lineCount, 513);
    EXPECT_EQ(index.itemCount, 513);
    EXPECT_EQ(index.entries.back().name, "P512");
}

TEST(BankTxtTest, EveryHighByteSurvivesWriteAndRead) {
    TempDir dir;
    std::string high;
    for (int b = 0x80; b <= 0xFF; ++b) high.push_back(static_cast<char>(b));
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
