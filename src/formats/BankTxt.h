#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmorant::formats {

// bank.txt: a count line "Number of items: N", then one line per entry, "name" or
// "name:categories". Text is Windows-1252 kept as bytes; lines end with CR LF when
// written, CR LF or LF when read.
inline constexpr std::string_view kBankTxtCountPrefix = "Number of items";
inline constexpr std::size_t kBankTxtMaxEntries = 513;
inline constexpr std::size_t kBankTxtMaxFieldLength = 47;

struct BankTxtEntry {
    std::string name;        // trailing blanks dropped
    std::string categories;  // empty when the line has none
};

// Readers visit entries 0 .. itemCount - 1, which always exist.
struct BankTxt {
    std::vector<BankTxtEntry> entries;
    std::int32_t itemCount = 0;
    std::int32_t lineCount = 0;
    std::int32_t announcedCount = 0;  // the count line's number as written; a negative one counts as 0
};

enum class BankTxtResult {
    kValid,
    kCannotOpen,
    kTooFewNames,  // fewer names than the count line announces; the count is lowered
    kNoCountLine,  // the first line is not the count line
    kCannotWrite,
};

BankTxtResult ReadBankTxt(BankTxt& index, const std::string& path);
// The reader's core, for bytes already in memory.
BankTxtResult ParseBankTxt(BankTxt& index, std::string_view text);

// The file's text: the count of present entries, then one line per element, an
// absent one as an empty line.
std::string FormatBankTxt(const std::vector<std::optional<BankTxtEntry>>& lines);
BankTxtResult WriteBankTxt(const std::vector<std::optional<BankTxtEntry>>& lines, const std::string& path);

// What a result means, naming the file (English, for the debug channel and reports).
std::string BankTxtMessage(BankTxtResult result, std::string_view path);

}  // namespace velmorant::formats
