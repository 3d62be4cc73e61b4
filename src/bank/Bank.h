#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "volume/Dependencies.h"
#include "volume/ProgramRecord.h"

namespace velmorant::bank {

// 16 groups A..P of 8 numbered slots.
inline constexpr int kGroupCount = 16;
inline constexpr int kSlotsPerGroup = 8;
inline constexpr int kSlotCount = kGroupCount * kSlotsPerGroup;
inline constexpr std::size_t kMaxRenamedLength = 32;

// Why AddProgram refused a file. The numbers are the codes `inspect --json` prints.
enum class AddFailure : int {
    kNoFreeSlot = -1,
    kAlreadyInBank = -2,
    kCannotOpen = -3,
    kNotAProgram = -4,
    kMissingDependency = -5,
};

struct AddResult {
    std::optional<int> slot;  // where the program went; empty when refused
    AddFailure failure = AddFailure::kNoFreeSlot;  // meaningful only without a slot
    // A program refused after it was read (a missing dependency, an unknown type, a file too
    // large): the slot that keeps its log.
    std::optional<int> loadedSlot;

    static AddResult Placed(int at) { return AddResult{at, AddFailure::kNoFreeSlot, at}; }
    static AddResult Refused(AddFailure why, std::optional<int> loaded = std::nullopt) {
        return AddResult{std::nullopt, why, loaded};
    }
    bool placed() const { return slot.has_value(); }
};

// The slot index, or the failure's negative number (what reports have always printed).
int AddResultNumber(const AddResult& result);

// 128 slot records (index i: group letter i / 8, number i % 8 + 1) and the bank log record.
// Records are overwritten, never replaced, so references to them stay valid.
struct Bank {
    Bank();

    std::array<volume::ProgramRecord, kSlotCount> slots;
    volume::ProgramRecord bankLog;
    volume::ChecksumCache checksums;
    core::FileSource* files = &core::DiskFiles();  // where programs are loaded from
    volume::MultisampleMemo* multisamples = nullptr;  // only where `files` cannot change meanwhile
};

int InitBank(Bank& bank);

// Places the program at the first free slot from preferredSlot (0 when out of range) upwards.
AddResult AddProgram(Bank& bank, int preferredSlot, const std::string& path);
int RemoveProgram(Bank& bank, int slot);
int SwapSlots(Bank& bank, int a, int b);
int RenameProgram(Bank& bank, int slot, std::string_view newName);
std::string SanitiseProgramName(std::string_view text);

// "A1".."P8"; empty for an index outside 0..127.
std::string SlotLabel(int slot);
// Index of a label "A1".."P8" (letter in either case), or -1.
int SlotFromLabel(std::string_view label);

// The sixteen category labels, "Piano (A)" .. "Sound FX (P)".
const std::array<const char*, 16>& CategoryLabels();

}  // namespace velmorant::bank
