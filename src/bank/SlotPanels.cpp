#include "bank/SlotPanels.h"

#include <algorithm>

#include "core/Text.h"

namespace velmorant::bank {
namespace {

int LetterIndex(char c) {
    return (c >= 'A' && c <= 'P') ? c - 'A' : -1;
}

}  // namespace

std::string SlotItemText(const volume::ProgramRecord& record) {
    if (!record.defined) {
        return core::Format("%s%i -", record.slotLetter.c_str(), static_cast<int>(record.slotNumber));
    }
    return core::Format("%s%i - %s", record.slotLetter.c_str(), static_cast<int>(record.slotNumber),
                        record.programName.c_str());
}

bool SlotOccupied(const Bank& bank, int slot) {
    return slot >= 0 && slot < kSlotCount && bank.slots[static_cast<std::size_t>(slot)].defined;
}

std::vector<int> GatherSelectedSlots(const std::array<std::vector<int>, kGroupCount>& selectedRows) {
    std::vector<int> gathered;
    for (int group = 0; group < kGroupCount; ++group) {
        std::vector<int> rows;
        for (int row : selectedRows[static_cast<std::size_t>(group)]) {
            if (row >= 0 && row < kSlotsPerGroup) {
                rows.push_back(row);
            }
        }
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        for (std::size_t k = 0; k < rows.size() && k < 2; ++k) {
            gathered.push_back(group * kSlotsPerGroup + rows[k]);
        }
    }
    return gathered;
}

int ChooseSelectedSlot(const std::vector<int>& gathered, int current) {
    if (gathered.empty()) {
        return -1;
    }
    if (gathered.size() == 1) {
        return gathered[0];
    }
    return gathered[1] == current ? gathered[0] : gathered[1];
}

CategoryPanel CategoryPanelFor(std::string_view categories) {
    CategoryPanel panel;
    for (std::size_t position = 0; position < categories.size(); ++position) {
        const int letter = LetterIndex(categories[position]);
        if (letter < 0) {
            continue;
        }
        if (position == 0) {
            panel.mainItem = letter + 1;
        } else {
            panel.checked[static_cast<std::size_t>(letter)] = true;
        }
    }
    return panel;
}

std::string CategoriesFromPanel(const CategoryPanel& panel) {
    std::string text;
    const int mainLetter = (panel.mainItem >= 1 && panel.mainItem <= kGroupCount) ? panel.mainItem - 1 : -1;
    if (mainLetter >= 0) {
        text.push_back(static_cast<char>('A' + mainLetter));
    }
    for (int letter = 0; letter < kGroupCount; ++letter) {
        if (panel.checked[static_cast<std::size_t>(letter)] && letter != mainLetter) {
            text.push_back(static_cast<char>('A' + letter));
        }
    }
    return text;
}

std::optional<std::string> NormaliseCategoryLetters(std::string_view letters) {
    CategoryPanel panel;
    for (char c : letters) {
        if (c >= 'a' && c <= 'p') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        if (c < 'A' || c > 'P') {
            return std::nullopt;
        }
        if (panel.mainItem == 0) {
            panel.mainItem = c - 'A' + 1;
        } else {
            panel.checked[static_cast<std::size_t>(c - 'A')] = true;
        }
    }
    return CategoriesFromPanel(panel);
}

}  // namespace velmorant::bank
