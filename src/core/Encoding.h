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

// A file-system path for output that must be UTF-8 (JSON, the screen). Paths on Linux are
// UTF-8 already and pass unchanged; a name another tool wrote in 8-bit bytes is read as
// Windows-1252, so the result is always valid and never loses a byte.
std::string PathToUtf8(std::string_view path);

// Text for a terminal: each line as PathToUtf8 gives it, with control characters other than
// tab, CR and LF (C0, DEL and C1, which could move the cursor or retitle the window) shown
// as "\xNN" or "\uNNNN".
std::string TerminalText(std::string_view text);

// The code point of the UTF-8 sequence at `pos`, which then moves past it; nullopt (and
// `pos` unchanged) for an invalid, overlong, cut or surrogate sequence.
std::optional<char32_t> NextUtf8CodePoint(std::string_view text, std::size_t& pos);

// The number of characters of UTF-8 text (an invalid byte counts as one), for aligning columns.
std::size_t Utf8Length(std::string_view text);

// True when every byte is ASCII (the two encodings agree on such text).
bool IsAscii(std::string_view text);

}  // namespace velmorant::core
