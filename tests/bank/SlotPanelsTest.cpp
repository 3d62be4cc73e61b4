#include <gtest/gtest.h>

#include "bank/SlotPanels.h"

namespace velmorant::bank {
namespace {

using Rows = std::array<std::vector<int>, kGroupCount>;

Rows Selected(std::initializer_list<std::pair<int, std::vector<int>>> groups) {
    Rows rows;
    for (const auto& [group, selected] : groups) {
        rows[static_cast<std::size_t>(group)] = selected;
    }
    return rows;
}

// The newly clicked item wins over the one selected before (current), over all sixteen lists.
TEST(SelectionRuleTest, NewlyClickedItemWins) {
    const std::tuple<Rows, int, int> cases[] = {
        {Selected({}), 5, -1},
        {Selected({{2, {4}}}), -1, 20},
        {Selected({{0, {2}}, {2, {4}}}), 2, 20},         // a later list clicked
        {Selected({{0, {0}}, {2, {4}}}), 20, 0},         // an earlier list clicked
        {Selected({{0, {0, 2}}}), 2, 0},                 // the same list, an earlier row
        {Selected({{0, {0, 2}}}), 0, 2},                 // the same list, a later row
        {Selected({{1, {6, 3, 6}}}), 11, 14},            // rows out of order and repeated
        {Selected({{0, {1, 2, 3}}}), 2, 1},              // a third row of a list is ignored
        {Selected({{0, {-1, 8, 3}}}), -1, 3}};           // rows outside the list are ignored
    for (const auto& [rows, current, expected] : cases) {
        EXPECT_EQ(ChooseSelectedSlot(GatherSelectedSlots(rows), current), expected) << current;
    }
}

// Main item and ticked letters -> stored text -> what the panel shows back.
TEST(CategoryPanelTest, StoresAndShowsBack) {
    struct Case {
        int mainItem;
        std::vector<int> ticked;  // letters 0..15
        std::string stored;
        int shownMain;
        std::vector<int> shownTicked;
    };
    const Case cases[] = {{5, {4, 12}, "EM", 5, {12}},
                          {0, {1, 3}, "BD", 2, {3}},  // no main: the first ticked becomes main
                          {0, {}, "", 0, {}},
                          {16, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, "PABCDEFGHIJKLMNO", 16,
                           {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}}};
    for (const Case& c : cases) {
        CategoryPanel panel;
        panel.mainItem = c.mainItem;
        for (int letter : c.ticked) {
            panel.checked[static_cast<std::size_t>(letter)] = true;
        }
        EXPECT_EQ(CategoriesFromPanel(panel), c.stored);
        const CategoryPanel shown = CategoryPanelFor(c.stored);
        std::vector<int> ticked;
        for (int letter = 0; letter < kGroupCount; ++letter) {
            if (shown.checked[static_cast<std::size_t>(letter)]) {
                ticked.push_back(letter);
            }
        }
        EXPECT_EQ(shown.mainItem, c.shownMain) << c.stored;
        EXPECT_EQ(ticked, c.shownTicked) << c.stored;
    }
    // Anything but the sixteen letters is ignored; a stray character in front makes no main.
    EXPECT_EQ(CategoryPanelFor("not defined").checked, (std::array<bool, kGroupCount>{}));
    EXPECT_EQ(CategoryPanelFor("xAQz").mainItem, 0);
    EXPECT_TRUE(CategoryPanelFor("xAQz").checked[0]);
}

// Letters typed on the command line are stored as the panel stores them: main first, the
// others once each in letter order.
TEST(CategoryLetters, AreStoredAsThePanelStoresThem) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"EM", "EM"}, {"mbe", "MBE"}, {"EME", "EM"}, {"BDB", "BD"}, {"", ""}, {"PONMLKJIHGFEDCBA", "PABCDEFGHIJKLMNO"},
        {"EQ", std::nullopt}, {"E M", std::nullopt}, {"not defined", std::nullopt}};
    for (const auto& [typed, stored] : cases) {
        EXPECT_EQ(NormaliseCategoryLetters(typed), stored) << typed;
    }
}

}  // namespace
}  // namespace velmorant::bank
