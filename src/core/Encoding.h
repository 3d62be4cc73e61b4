#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmorant::core {

// The instrument's files, bank.txt and kit files hold 8-bit Windows-1252 text. Records keep
// those bytes as read; these two functions are the only place they become Unicode (UTF-8)
// and back. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// map to the C1 code points of the same value, so every byte string survives a round trip.
std::string Cp1252ToUtf8(std::string_view bytes);

// UTF-8 text typed by the user or read from the file system, as Windows-1252 bytes.
// nullopt when the text is not valid UTF-8 or holds a character the code page cannot
// hold; `refused` (when given) then receives that character, or the invalid byte as
// "\xNN", so the caller can name it.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8, std::string* refused = nullptr);

// True when every byte is ASCII (the two encodings agree on such text).
bool IsAscii(std::string_view text);

}  // namespace velmorant::core
