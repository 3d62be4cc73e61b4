#include "bank/Bank.h"

#include <utility>

#include "core/File.h"
#include "core/FileNames.h"
#include "core/Text.h"
#include "volume/ProgramFile.h"
#include "volume/Summary.h"

namespace velmorant::bank {

Bank::Bank() {
    InitBank(*this);
}

int InitBank(Bank& bank) {
    for (int k = 0; k <= kSlotCount; ++k) {
        volume::ProgramRecord& record = k < kSlotCount ? bank.slots[static_cast<std::size_t>(k)] : bank.bankLog;
        record = volume::ProgramRecord{};
        record.programName.clear();
        record.sourcePath.clear();
        record.categories.clear();
        record.slotLetter = k < kSlotCount ? std::string(1, static_cast<char>('A' + k / kSlotsPerGroup)) : std::string();
        record.slotNumber = k % kSlotsPerGroup + 1;
        record.defined = false;
        volume::AppendLog(record, "Init OK\n");
    }
    return 1;
}

int AddResultNumber(const AddResult& result) {
    return result.slot ? *result.slot : static_cast<int>(result.failure);
}

AddResult AddProgram(Bank& bank, int preferredSlot, const std::string& givenPath) {
    // The volume is found from the program's folders: a relative path has none to give.
    const std::string path = core::AbsolutePath(givenPath);
    const formats::ProgramHead header = formats::ReadProgramHeadFile(path, *bank.files);
    if (header.result != formats::ProgramResult::kRead) {
        return AddResult::Refused(header.result == formats::ProgramResult::kCannotOpen ? AddFailure::kCannotOpen
                                                                                       : AddFailure::kNotAProgram);
    }
    for (auto& slot : bank.slots) {
        if (slot.defined && slot.sourcePath == path) {
            volume::AppendLog(slot, core::Format("Try to add again this Program (%s) \n", path.c_str()));
            return AddResult::Refused(AddFailure::kAlreadyInBank);
        }
    }
    const int start = (preferredSlot >= 0 && preferredSlot < kSlotCount) ? preferredSlot : 0;
    std::optional<int> chosen;
    for (int i = start; i < kSlotCount; ++i) {
        if (!bank.slots[static_cast<std::size_t>(i)].defined) {
            chosen = i;
            break;
        }
    }
    if (!chosen) {
        return AddResult::Refused(AddFailure::kNoFreeSlot);
    }

    volume::ProgramRecord& record = bank.slots[static_cast<std::size_t>(*chosen)];
    volume::LoadProgramFile(record, path, header.tag, *bank.files);
    if (record.type == volume::kTypeUnknown) {
        // Which references such a program holds is not known: refused, naming its tag.
        volume::AppendLog(record, core::Format("Warning: %s: offset %zu (type tag): unknown program type \"%s\"\n",
                                               path.c_str(), formats::kProgramTagOffset,
                                               std::string(header.tag.data(), header.tag.size()).c_str()));
        record.defined = false;
        return AddResult::Refused(AddFailure::kNotAProgram, chosen);
    }
    if (record.type == volume::kTypeSamples || record.type == volume::kTypeDrums) {
        const int resolved = volume::ResolveDependencies(record, &bank.checksums, *bank.files, bank.multisamples);
        if (resolved < 0) {
            record.defined = false;
            return AddResult::Refused(
                resolved == volume::kUnusableProgram ? AddFailure::kNotAProgram : AddFailure::kMissingDependency, chosen);
        }
    }
    volume::BuildProgramSummary(record);
    return AddResult::Placed(*chosen);
}

int RemoveProgram(Bank& bank, int slot) {
    if (slot < 0 || slot >= kSlotCount) {
        return 0;
    }
    volume::ProgramRecord& record = bank.slots[static_cast<std::size_t>(slot)];
    record.programName.clear();
    record.sourcePath.clear();
    record.defined = false;
    return 0;
}

int SwapSlots(Bank& bank, int a, int b) {
    if (a < 0 || a >= kSlotCount || b < 0 || b >= kSlotCount || a == b) {
        return 0;
    }
    volume::ProgramRecord& x = bank.slots[static_cast<std::size_t>(a)];
    volume::ProgramRecord& y = bank.slots[static_cast<std::size_t>(b)];
    // Everything moves with the program except the slot's own letter and number.
    std::swap(x, y);
    std::swap(x.slotLetter, y.slotLetter);
    std::swap(x.slotNumber, y.slotNumber);
    return 0;
}

std::string SanitiseProgramName(std::string_view text) {
    return core::SanitiseFileName(core::CutText(text, kMaxRenamedLength), core::NameRule::kTypedName);
}

int RenameProgram(Bank& bank, int slot, std::string_view newName) {
    if (slot < 0 || slot >= kSlotCount) {
        return 1;
    }
    bank.slots[static_cast<std::size_t>(slot)].programName = SanitiseProgramName(newName);
    return 1;
}

std::string SlotLabel(int slot) {
    if (slot < 0 || slot >= kSlotCount) {
        return {};
    }
    return std::string(1, static_cast<char>('A' + slot / kSlotsPerGroup)) + std::to_string(slot % kSlotsPerGroup + 1);
}

int SlotFromLabel(std::string_view label) {
    if (label.size() != 2) {
        return -1;
    }
    char letter = label[0];
    if (letter >= 'a' && letter <= 'p') {
        letter = static_cast<char>(letter - 'a' + 'A');
    }
    if (letter < 'A' || letter > 'P' || label[1] < '1' || label[1] > '8') {
        return -1;
    }
    return (letter - 'A') * kSlotsPerGroup + (label[1] - '1');
}

const std::array<const char*, 16>& CategoryLabels() {
    static const std::array<const char*, 16> kLabels = {
        "Piano (A)",    "Chromatic (B)", "Organ (C)", "Guitar (D)",   "Bass (E)",     "Strings (F)",
        "Ensemble (G)", "Brass (H)",     "Reed (I)",  "Pipe (J)",     "Lead (K)",     "Pad (L)",
        "Synth FX (M)", "Ethnic (N)",    "Drum/Perc (O)", "Sound FX (P)"};
    return kLabels;
}

}  // namespace velmorant::bank
