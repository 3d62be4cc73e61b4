#include "bank/BankIndex.h"

#include <algorithm>
#include <climits>

#include "bank/Bank.h"
#include "core/Debug.h"
#include "core/File.h"
#include "core/Path.h"
#include "core/Text.h"
#include "volume/ProgramRecord.h"

namespace velmorant::bank {
namespace {

constexpr std::string_view kCountPrefix = "Number of items";

// The decimal value at the start of a text: leading spaces, optional sign, digits.
// Saturates instead of overflowing; a negative count means no items.
std::int32_t LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), INT32_MAX);
        ++i;
    }
    return negative ? 0 : static_cast<std::int32_t>(value);
}

}  // namespace

int ParseBankIndex(BankIndex& index, std::string_view text) {
    index.entries.clear();
    index.itemCount = 0;
    index.lineCount = 0;

    bool headerSeen = false;
    std::int32_t nonEmpty = 0;
    std::string name;
    std::string categories;
    bool colonSeen = false;

    auto endLine = [&] {
        if (core::StartsWith(name, kCountPrefix) && index.entries.empty()) {
            index.itemCount = LeadingNumber(categories);
            headerSeen = true;
        } else if (index.entries.size() < kMaxIndexEntries) {
            BankIndexEntry entry;
            entry.name = std::string(core::TrimTrailingSpaces(name));
            entry.categories = categories;
            if (!core::TrimSpaces(entry.name).empty()) {
                ++nonEmpty;
            }
            index.entries.push_back(std::move(entry));
        }
        name.clear();
        categories.clear();
        colonSeen = false;
    };

    bool pendingLine = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            // CR LF is one line end.
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            endLine();
            pendingLine = false;
            continue;
        }
        pendingLine = true;
        if (c == ':') {
            colonSeen = true;
            continue;
        }
        if (c < 0x20 || c > 0x7F) {
            continue;
        }
        std::string& field = colonSeen ? categories : name;
        if (field.size() < kMaxIndexFieldLength) {
            field.push_back(static_cast<char>(c));
        }
    }
    // A hand-edited file may lack the final line end; its last line still counts.
    if (pendingLine) {
        endLine();
    }

    index.lineCount = static_cast<std::int32_t>(index.entries.size());
    if (!headerSeen) {
        index.itemCount = 0;
        return kIndexNoCountLine;
    }
    if (nonEmpty < index.itemCount) {
        index.itemCount = nonEmpty;
        return kIndexTooFewNames;
    }
    return kIndexValid;
}

int ReadBankIndex(BankIndex& index, const std::string& path) {
    const auto data = core::ReadWholeFile(path, 64u << 20);
    if (!data) {
        index.entries.clear();
        index.itemCount = 0;
        index.lineCount = 0;
        core::DebugPrint("Cannot open file : %s\n", path.c_str());
        return kIndexCannotOpen;
    }
    return ParseBankIndex(index, std::string_view(reinterpret_cast<const char*>(data->data()), data->size()));
}

int WriteBankIndex(Bank& bank, const std::string& path) {
    int count = 0;
    for (const auto& slot : bank.slots) {
        count += slot.defined == 1 ? 1 : 0;
    }
    std::string text = core::Format("Number of items: %i\r\n", count);
    for (const auto& slot : bank.slots) {
        if (slot.defined == 1) {
            text += slot.programName;
            if (!slot.categories.empty() && slot.categories != "not defined") {
                text += ":" + slot.categories;
            }
        }
        text += "\r\n";
    }
    if (!core::WriteFileAtomically(path, text)) {
        volume::AppendLog(bank.bankLog, core::Format("can,not open Multisample destination file (%s)\n", path.c_str()));
        return -3;
    }
    return 1;
}

int WriteFolderIndex(const std::string& folder, FolderKind kind) {
    if (!core::DirectoryExists(folder)) {
        core::DebugPrint("Dossier %s n'existe pas\n", folder.c_str());
        return -1;
    }
    auto names = core::ListDirectory(folder);
    if (!names) {
        core::DebugPrint("Dossier %s n'existe pas\n", folder.c_str());
        return -1;
    }
    // Sorted so the same folder always gives the same index.
    std::sort(names->begin(), names->end());
    const char* wanted = kind == FolderKind::kPrograms ? "AFP" : kind == FolderKind::kMultisamples ? "AFI" : "AFS";
    int count = 0;
    std::string items;
    for (const std::string& name : *names) {
        if (name.size() < 5) {
            continue;
        }
        std::string extension = core::PathExtension(name);
        core::UpperCaseInPlace(extension);
        if (extension.compare(0, 3, wanted) != 0 || extension.size() < 3) {
            continue;
        }
        items += core::PathBaseName(name);
        items += "\r\n";
        ++count;
    }
    const std::string text = core::Format("Number of items: %i\r\n", count) + items;
    if (!core::WriteFileAtomically(folder + "/bank.txt", text)) {
        return -1007;
    }
    return 1;
}

int FindProgramCategories(volume::ProgramRecord& record) {
    record.categories = "not defined";
    const std::string indexPath = core::JoinPath(core::PathDirectory(record.sourcePath), "bank.txt");
    core::DebugPrint("Search Categories in %s\n ", indexPath.c_str());
    BankIndex index;
    if (ReadBankIndex(index, indexPath) < 0) {
        core::DebugPrint("Cannot open %s \n ", indexPath.c_str());
        return 1;
    }
    for (std::int32_t i = 0; i < index.itemCount; ++i) {
        const BankIndexEntry& entry = index.entries[static_cast<std::size_t>(i)];
        if (entry.name == record.programName) {
            record.categories = core::CutText(entry.categories, volume::kMaxCategoriesLength);
            core::DebugPrint("found categoy : %s \n ", record.categories.c_str());
            break;
        }
    }
    return 1;
}

}  // namespace velmorant::bank
