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
    const std::tuple<int, std::string, std::string, int, std::string> cases[] = {
        {5, "EM", "EM", 5, "M"},
        {0, "BD", "BD", 2, "D"},  // no main: the first ticked becomes main
        {0, "", "", 0, ""},
        {16, "ABCDEFGHIJKLMNOP", "PABCDEFGHIJKLMNO", 16, "ABCDEFGHIJKLMNO"}};
    for (const auto& [mainItem, ticked, stored, shownMain, shownTicked] : cases) {
        CategoryPanel panel;
        panel.mainItem = mainItem;
        for (char letter : ticked) panel.checked[static_cast<std::size_t>(letter - 'A')] = true;
        EXPECT_EQ(CategoriesFromPanel(panel), stored);
        const CategoryPanel shown = CategoryPanelFor(stored);
        std::string letters;
        for (int letter = 0; letter < kGroupCount; ++letter) {
            if (shown.checked[static_cast<std::size_t>(letter)]) letters += static_cast<char>('A' + letter);
        }
        EXPECT_EQ(std::tie(shown.mainItem, letters), std::tie(shownMain, shownTicked)) << stored;
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
