// Parses arbitrary bytes as a bank.txt, checks the index's promises, then writes the entries
// it read and reads them back.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "formats/BankTxt.h"

namespace formats = velmorant::formats;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    formats::BankTxt index;
    const formats::BankTxtResult result =
        formats::ParseBankTxt(index, std::string_view(reinterpret_cast<const char*>(data), size));
    if (result == formats::BankTxtResult::kCannotOpen || result == formats::BankTxtResult::kCannotWrite) {
        std::abort();
    }
    // Readers visit entries 0 .. itemCount - 1: they must exist.
    if (index.itemCount < 0 || static_cast<std::size_t>(index.itemCount) > index.entries.size() ||
        index.entries.size() > formats::kBankTxtMaxEntries) {
        std::abort();
    }
    std::vector<std::optional<formats::BankTxtEntry>> lines;
    bool named = true;
    for (std::int32_t i = 0; i < index.itemCount; ++i) {
        const auto& entry = index.entries[static_cast<std::size_t>(i)];
        if (entry.name.size() > formats::kBankTxtMaxFieldLength ||
            entry.categories.size() > formats::kBankTxtMaxFieldLength) {
            std::abort();
        }
        named = named && !entry.name.empty();
        lines.emplace_back(entry);
    }
    // An entry without a name is an empty slot once written, so only named lists round-trip.
    if (!named) {
        return 0;
    }
    formats::BankTxt again;
    if (formats::ParseBankTxt(again, formats::FormatBankTxt(lines)) != formats::BankTxtResult::kValid ||
        again.itemCount != index.itemCount) {
        std::abort();
    }
    for (std::int32_t i = 0; i < index.itemCount; ++i) {
        const auto& a = index.entries[static_cast<std::size_t>(i)];
        const auto& b = again.entries[static_cast<std::size_t>(i)];
        if (a.name != b.name || a.categories != b.categories) {
            std::abort();
        }
    }
    return 0;
}
