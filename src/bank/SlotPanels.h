#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bank/Bank.h"

namespace velmorant::bank {

// "A1 - Grand Piano" for an occupied slot, "A1 -" for an empty one.
std::string SlotItemText(const volume::ProgramRecord& record);

bool SlotOccupied(const Bank& bank, int slot);

// The slots selected in the 16 lists: per list (A..P), the first two selected rows in
// row order; rows outside 0..7 are ignored.
std::vector<int> GatherSelectedSlots(const std::array<std::vector<int>, kGroupCount>& selectedRows);

// The one slot the lists keep selected: none (-1) when nothing was gathered; the only one;
// of two or more, the second, unless it is the current selection, then the first. So a
// newly clicked item wins over the old one, in whichever list either lies.
int ChooseSelectedSlot(const std::vector<int>& gathered, int current);

// What the categories panel shows: the main-category box item (0 for none, k + 1 for
// the k-th letter) and the sixteen check boxes.
struct CategoryPanel {
    int mainItem = 0;
    std::array<bool, kGroupCount> checked{};
};

// The first letter selects the main category, later letters tick boxes; anything that
// is not one of the letters A..P ("not defined") shows nothing.
CategoryPanel CategoryPanelFor(std::string_view categories);
// The main letter first, then every ticked letter other than it, in letter order.
std::string CategoriesFromPanel(const CategoryPanel& panel);
// Category letters typed in either case, stored as the panel stores them; nullopt when a
// character is not one of the letters A..P.
std::optional<std::string> NormaliseCategoryLetters(std::string_view letters);

}  // namespace velmorant::bank
