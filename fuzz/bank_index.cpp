// Parses arbitrary bytes as a bank.txt and checks the index's promises.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "bank/BankIndex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velmorant::bank::BankIndex index;
    const int result =
        velmorant::bank::ParseBankIndex(index, std::string_view(reinterpret_cast<const char*>(data), size));
    if (result != 0 && result != -2 && result != -3) {
        std::abort();
    }
    // Readers visit entries 0 .. itemCount - 1: they must exist.
    if (index.itemCount < 0 || static_cast<std::size_t>(index.itemCount) > index.entries.size() ||
        index.entries.size() > velmorant::bank::kMaxIndexEntries) {
        std::abort();
    }
    for (const auto& entry : index.entries) {
        if (entry.name.size() > 47 || entry.categories.size() > 47) {
            std::abort();
        }
    }
    return 0;
}
