// Parses arbitrary bytes as a bank.txt and checks the index's promises.
#include <cstdint>
#include <cstdlib>
#include <string_view>

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
    for (const auto& entry : index.entries) {
        if (entry.name.size() > formats::kBankTxtMaxFieldLength ||
            entry.categories.size() > formats::kBankTxtMaxFieldLength) {
            std::abort();
        }
    }
    return 0;
}
