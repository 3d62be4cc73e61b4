#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmorant::volume {
struct ProgramRecord;
}

namespace velmorant::bank {

struct Bank;

inline constexpr std::size_t kMaxIndexEntries = 513;
inline constexpr std::size_t kMaxIndexFieldLength = 47;

// ReadBankIndex results.
inline constexpr int kIndexValid = 0;
inline constexpr int kIndexCannotOpen = -1;
inline constexpr int kIndexTooFewNames = -2;
inline constexpr int kIndexNoCountLine = -3;

struct BankIndexEntry {
    std::string name;
    std::string categories;
};

// A parsed bank.txt. Readers visit entries 0 .. itemCount - 1, which always exist.
struct BankIndex {
    std::vector<BankIndexEntry> entries;
    std::int32_t itemCount = 0;
    std::int32_t lineCount = 0;
};

enum class FolderKind { kPrograms = 1, kMultisamples = 2, kSamples = 3 };

int ReadBankIndex(BankIndex& index, const std::string& path);
// Parses bank.txt bytes already in memory (the reader's core, also used by the fuzzer).
int ParseBankIndex(BankIndex& index, std::string_view text);

// 1 written; -3 the file cannot be created (logged to the bank log record).
int WriteBankIndex(Bank& bank, const std::string& path);
// 1 written; -1 the folder does not exist; -1007 the file cannot be created.
int WriteFolderIndex(const std::string& folder, FolderKind kind);

// Sets the record's categories from the bank.txt beside its program file; always 1.
int FindProgramCategories(volume::ProgramRecord& record);

}  // namespace velmorant::bank
