#pragma once

#include <optional>
#include <string>
#include <vector>

#include "formats/BankTxt.h"

namespace velmorant::volume {
struct ProgramRecord;
}

namespace velmorant::bank {

struct Bank;

// The bank.txt of a bank folder, as read by formats/BankTxt.
using BankIndex = formats::BankTxt;
using BankIndexEntry = formats::BankTxtEntry;

inline formats::BankTxtResult ReadBankIndex(BankIndex& index, const std::string& path) {
    return formats::ReadBankTxt(index, path);
}

enum class FolderKind { kPrograms = 1, kMultisamples = 2, kSamples = 3 };

// One line per slot, absent for an empty one.
std::vector<std::optional<BankIndexEntry>> BankIndexLines(const Bank& bank);
// One line per slot; a failure is logged to the bank log record.
formats::BankTxtResult WriteBankIndex(Bank& bank, const std::string& path);
// One line per file of the kind in the folder, sorted; nullopt when it cannot be listed.
std::optional<std::vector<std::optional<BankIndexEntry>>> FolderIndexLines(const std::string& folder,
                                                                          FolderKind kind);
// The same lines for the file names a folder holds (or will hold).
std::vector<std::optional<BankIndexEntry>> FolderIndexLinesOf(std::vector<std::string> names, FolderKind kind);
// Lists the folder's files of one kind; false when the folder does not exist or the
// file cannot be written.
bool WriteFolderIndex(const std::string& folder, FolderKind kind);

// Sets the record's categories from the bank.txt beside its program file ("not defined"
// when it lists none for the program).
void FindProgramCategories(volume::ProgramRecord& record);

}  // namespace velmorant::bank
