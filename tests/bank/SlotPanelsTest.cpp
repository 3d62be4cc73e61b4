#include <gtest/gtest.h>

#include "bank/SlotPanels.h"

namespace velmorant::bank {
namespace {

struct SelectionCase {
    const char* name;
    std::array<std::vector<int>, kGroupCount> rows;
    int current;
    int expected;
};

class SelectionRuleTest : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(SelectionRuleTest, NewlyClickedItemWins) {
    const SelectionCase& c = GetParam();
    EXPECT_EQ(ChooseSelectedSlot(GatherSelectedSlots(c.rows), c.current), c.expected);
}

std::array<std::vector<int>, kGroupCount> Rows(std::initializer_list<std::pair<int, std::vector<int>>> groups) {
    std::array<std::vector<int>, kGroupCount> rows;
    for (const auto& [group, selected] : groups) {
        rows[static_cast<std::size_t>(group)] = selected;
    }
    return rows;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectionRuleTest,
    ::testing::Values(SelectionCase{"Nothing", Rows({}), 5, -1},
                      SelectionCase{"OnlyOne", Rows({{2, {4}}}), -1, 20},
                      SelectionCase{"LaterListClicked", Rows({{0, {2}}, {2, {4}}}), 2, 20},
                      SelectionCase{"EarlierListClicked", Rows({{0, {0}}, {2, {4}}}), 20, 0},
                      SelectionCase{"SameListEarlierRow", Rows({{0, {0, 2}}}), 2, 0},
                      SelectionCase{"SameListLaterRow", Rows({{0, {0, 2}}}), 0, 2},
                      SelectionCase{"RowsOutOfOrderAndRepeated", Rows({{1, {6, 3, 6}}}), 11, 14},
                      SelectionCase{"ThirdRowOfAListIgnored", Rows({{0, {1, 2, 3}}}), 2, 1},
                      SelectionCase{"RowsOutsideListIgnored", Rows({{0, {-1, 8, 3}}}), -1, 3}),
    [](const ::testing::TestParamInfo<SelectionCase>& row) { return std::string(row.param.name); });

struct CategoryCase {
    const char* name;
    int mainItem;
    std::vector<int> ticked;  // letters 0..15
    std::string stored;
    int shownMain;
    std::vector<int> shownTicked;
};

class CategoryPanelTest : public ::testing::TestWithParam<CategoryCase> {};

TEST_P(CategoryPanelTest, StoresAndShowsBack) {
    const CategoryCase& c = GetParam();
    CategoryPanel panel;
    panel.mainItem = c.mainItem;
    for (int letter : c.ticked) {
        panel.checked[static_cast<std::size_t>(letter)] = true;
    }
    const std::string stored = CategoriesFromPanel(panel);
    EXPECT_EQ(stored, c.stored);

    const CategoryPanel shown = CategoryPanelFor(stored);
    EXPECT_EQ(shown.mainItem, c.shownMain);
    std::vector<int> ticked;
    for (int letter = 0; letter < kGroupCount; ++letter) {
        if (shown.checked[static_cast<std::size_t>(letter)]) {
            ticked.push_back(letter);
        }
    }
    EXPECT_EQ(ticked, c.shownTicked);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CategoryPanelTest,
    ::testing::Values(CategoryCase{"MainAlsoTicked", 5, {4, 12}, "EM", 5, {12}},
                      CategoryCase{"NoMainFirstTickBecomesMain", 0, {1, 3}, "BD", 2, {3}},
                      CategoryCase{"Nothing", 0, {}, "", 0, {}},
                      CategoryCase{"AllSixteen", 16, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
                                   "PABCDEFGHIJKLMNO", 16, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}}),
    [](const ::testing::TestParamInfo<CategoryCase>& row) { return std::string(row.param.name); });

TEST(CategoryPanelForTest, IgnoresAnythingButTheSixteenLetters) {
    EXPECT_EQ(CategoryPanelFor("not defined").mainItem, 0);
    EXPECT_EQ(CategoryPanelFor("not defined").checked, (std::array<bool, kGroupCount>{}));
    // A stray character in front does not make the next letter the main one.
    const CategoryPanel panel = CategoryPanelFor("xAQz");
    EXPECT_EQ(panel.mainItem, 0);
    EXPECT_TRUE(panel.checked[0]);
}

TEST(SlotItemTextTest, OccupiedAndEmptySlots) {
    Bank bank;
    InitBank(bank);
    EXPECT_EQ(SlotItemText(bank.slots[0]), "A1 -");
    EXPECT_EQ(SlotItemText(bank.slots[127]), "P8 -");
    bank.slots[9].defined = 1;
    bank.slots[9].programName = "Grand Piano";
    EXPECT_EQ(SlotItemText(bank.slots[9]), "B2 - Grand Piano");
    EXPECT_TRUE(SlotOccupied(bank, 9));
    EXPECT_FALSE(SlotOccupied(bank, 8));
    EXPECT_FALSE(SlotOccupied(bank, -1));
    EXPECT_FALSE(SlotOccupied(bank, 128));
}

struct LettersCase {
    const char* input;
    bool valid;
    const char* stored;
};

void PrintTo(const LettersCase& c, std::ostream* os) { *os << '"' << c.input << '"'; }

class CategoryLetters : public ::testing::TestWithParam<LettersCase> {};

// Stored as the categories panel would: main first, the others once each in letter order.
TEST_P(CategoryLetters, AreStoredAsThePanelStoresThem) {
    const LettersCase& c = GetParam();
    const auto stored = NormaliseCategoryLetters(c.input);
    EXPECT_EQ(stored.has_value(), c.valid);
    if (c.valid && stored) {
        EXPECT_EQ(*stored, c.stored);
    }
}

INSTANTIATE_TEST_SUITE_P(Typed, CategoryLetters,
                         ::testing::Values(LettersCase{"EM", true, "EM"}, LettersCase{"mbe", true, "MBE"},
                                           LettersCase{"EME", true, "EM"}, LettersCase{"BDB", true, "BD"},
                                           LettersCase{"", true, ""}, LettersCase{"PONMLKJIHGFEDCBA", true,
                                                                                  "PABCDEFGHIJKLMNO"},
                                           LettersCase{"EQ", false, ""}, LettersCase{"E M", false, ""},
                                           LettersCase{"not defined", false, ""}));

}  // namespace
}  // namespace velmorant::bank
