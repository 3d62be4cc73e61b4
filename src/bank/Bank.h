#pragma once

#include <array>
#include <cstdint>
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

// AddProgram results.
inline constexpr int kNoFreeSlot = -1;
inline constexpr int kAlreadyInBank = -2;
inline constexpr int kCannotOpen = -3;
inline constexpr int kNotAProgram = -4;
inline constexpr int kMissingDependency = -5;

// 128 slot records (index i: group letter i / 8, number i % 8 + 1) and the bank log record.
// Records are overwritten, never replaced, so references to them stay valid.
struct Bank {
    Bank();

    std::array<volume::ProgramRecord, kSlotCount> slots;
    volume::ProgramRecord bankLog;
    volume::ChecksumCache checksums;
    core::FileSource* files = &core::DiskFiles();  // where programs are loaded from
};

int InitBank(Bank& bank);

// Slot index, or kNoFreeSlot .. kMissingDependency. When the program was loaded into a
// slot but refused (a missing dependency, an unknown type, a file too large), *loadedSlot tells
// which slot keeps its log.
int AddProgram(Bank& bank, int preferredSlot, const std::string& path, int* loadedSlot = nullptr);
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
