#include "bank/BankIndex.h"

#include <algorithm>
#include <optional>

#include "bank/Bank.h"
#include "core/Debug.h"
#include "core/File.h"
#include "core/FileNames.h"
#include "core/Path.h"
#include "core/Text.h"
#include "volume/ProgramRecord.h"

namespace velmorant::bank {

std::vector<std::optional<BankIndexEntry>> BankIndexLines(const Bank& bank) {
    std::vector<std::optional<BankIndexEntry>> lines;
    for (const auto& slot : bank.slots) {
        if (!slot.defined) {
            lines.emplace_back();
            continue;
        }
        const bool known = !slot.categories.empty() && slot.categories != "not defined";
        lines.push_back(BankIndexEntry{slot.programName, known ? slot.categories : std::string()});
    }
    return lines;
}

formats::BankTxtResult WriteBankIndex(Bank& bank, const std::string& path) {
    const formats::BankTxtResult result = formats::WriteBankTxt(BankIndexLines(bank), path);
    if (result != formats::BankTxtResult::kValid) {
        volume::AppendLog(bank.bankLog, core::Format("can,not open Multisample destination file (%s)\n", path.c_str()));
    }
    return result;
}

std::optional<std::vector<std::optional<BankIndexEntry>>> FolderIndexLines(const std::string& folder,
                                                                          FolderKind kind) {
    auto names = core::DirectoryExists(folder) ? core::ListDirectory(folder) : std::nullopt;
    if (!names) {
        return std::nullopt;
    }
    return FolderIndexLinesOf(std::move(*names), kind);
}

std::vector<std::optional<BankIndexEntry>> FolderIndexLinesOf(std::vector<std::string> names, FolderKind kind) {
    // Sorted so the same folder always gives the same index.
    std::sort(names.begin(), names.end());
    const char* wanted = kind == FolderKind::kPrograms ? "AFP" : kind == FolderKind::kMultisamples ? "AFI" : "AFS";
    std::vector<std::optional<BankIndexEntry>> lines;
    for (const std::string& name : names) {
        if (name.size() < 5) {
            continue;
        }
        std::string extension = core::PathExtension(name);
        core::UpperCaseInPlace(extension);
        if (extension.compare(0, 3, wanted) != 0 || extension.size() < 3) {
            continue;
        }
        lines.push_back(BankIndexEntry{core::NameFromFileName(core::PathBaseName(name)), {}});
    }
    return lines;
}

bool WriteFolderIndex(const std::string& folder, FolderKind kind) {
    const auto lines = FolderIndexLines(folder, kind);
    if (!lines) {
        core::DebugPrint("Folder %s does not exist\n", folder.c_str());
        return false;
    }
    const std::string path = core::JoinPath(folder, "bank.txt");
    const formats::BankTxtResult result = formats::WriteBankTxt(*lines, path);
    if (result != formats::BankTxtResult::kValid) {
        core::DebugPrint("%s\n", formats::BankTxtMessage(result, path).c_str());
    }
    return result == formats::BankTxtResult::kValid;
}

void FindProgramCategories(volume::ProgramRecord& record) {
    record.categories = "not defined";
    const std::string indexPath = core::JoinPath(core::PathDirectory(record.sourcePath), "bank.txt");
    core::DebugPrint("Search Categories in %s\n ", indexPath.c_str());
    BankIndex index;
    const formats::BankTxtResult read = ReadBankIndex(index, indexPath);
    if (read != formats::BankTxtResult::kValid) {
        core::DebugPrint("%s\n", formats::BankTxtMessage(read, indexPath).c_str());
        return;
    }
    for (std::int32_t i = 0; i < index.itemCount; ++i) {
        const BankIndexEntry& entry = index.entries[static_cast<std::size_t>(i)];
        if (entry.name == record.programName) {
            record.categories = core::CutText(entry.categories, volume::kMaxCategoriesLength);
            core::DebugPrint("Found categories: %s\n", record.categories.c_str());
            break;
        }
    }
}

}  // namespace velmorant::bank
