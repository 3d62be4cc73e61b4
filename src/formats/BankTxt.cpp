#include "formats/BankTxt.h"

#include <algorithm>

#include "core/AtomicWrite.h"
#include "core/File.h"
#include "core/Text.h"

namespace velmorant::formats {
namespace {

constexpr std::size_t kMaxFileSize = 64u << 20;

}  // namespace

BankTxtResult ParseBankTxt(BankTxt& index, std::string_view text) {
    index.entries.clear();
    index.itemCount = 0;
    index.lineCount = 0;
    index.announcedCount = 0;

    bool headerSeen = false;
    std::int32_t nonEmpty = 0;
    std::string name;
    std::string categories;
    bool colonSeen = false;

    auto endLine = [&] {
        if (core::StartsWith(name, kBankTxtCountPrefix) && index.entries.empty()) {
            index.announcedCount = core::LeadingNumber(categories);
            index.itemCount = std::max<std::int32_t>(index.announcedCount, 0);
            headerSeen = true;
        } else if (index.entries.size() < kBankTxtMaxEntries) {
            BankTxtEntry entry;
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
        // Control characters are dropped; bytes from 0x80 up are the code page's letters
        // and are kept, so a name written here reads back unchanged.
        if (c < 0x20) {
            continue;
        }
        std::string& field = colonSeen ? categories : name;
        if (field.size() < kBankTxtMaxFieldLength) {
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
        return BankTxtResult::kNoCountLine;
    }
    if (nonEmpty < index.itemCount) {
        index.itemCount = nonEmpty;
        return BankTxtResult::kTooFewNames;
    }
    return BankTxtResult::kValid;
}

BankTxtResult ReadBankTxt(BankTxt& index, const std::string& path) {
    const auto data = core::ReadWholeFile(path, kMaxFileSize);
    if (!data) {
        index = BankTxt{};
        return BankTxtResult::kCannotOpen;
    }
    return ParseBankTxt(index, std::string_view(reinterpret_cast<const char*>(data->data()), data->size()));
}

std::string FormatBankTxt(const std::vector<std::optional<BankTxtEntry>>& lines) {
    int count = 0;
    for (const auto& line : lines) {
        count += line ? 1 : 0;
    }
    std::string text = core::Format("%s: %i\r\n", std::string(kBankTxtCountPrefix).c_str(), count);
    for (const auto& line : lines) {
        if (line) {
            text += line->name;
            if (!line->categories.empty()) {
                text += ":" + line->categories;
            }
        }
        text += "\r\n";
    }
    return text;
}

BankTxtResult WriteBankTxt(const std::vector<std::optional<BankTxtEntry>>& lines, const std::string& path) {
    return core::WriteFileAtomically(path, FormatBankTxt(lines)) ? BankTxtResult::kValid
                                                                 : BankTxtResult::kCannotWrite;
}

std::string BankTxtMessage(BankTxtResult result, std::string_view path) {
    const std::string file(path);
    switch (result) {
        case BankTxtResult::kValid:
            return {};
        case BankTxtResult::kCannotOpen:
            return core::Format("%s: cannot be opened", file.c_str());
        case BankTxtResult::kTooFewNames:
            return core::Format("%s: line 1 (item count): more items announced than names listed", file.c_str());
        case BankTxtResult::kNoCountLine:
            return core::Format("%s: line 1 (item count): not a \"%s\" line", file.c_str(),
                                std::string(kBankTxtCountPrefix).c_str());
        case BankTxtResult::kCannotWrite:
            return core::Format("%s: cannot be written", file.c_str());
    }
    return {};
}

}  // namespace velmorant::formats
