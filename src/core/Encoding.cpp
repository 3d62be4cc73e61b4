#include "core/Encoding.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "core/Text.h"

namespace velmorant::core {
namespace {

// 0x80..0x9F, the only range where Windows-1252 differs from Latin-1. The undefined
// codes keep their own value (a C1 control), which makes the mapping a bijection.
constexpr std::array<char32_t, 32> kHigh{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePoint(std::uint8_t byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte;
}

std::optional<std::uint8_t> ByteOf(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<std::uint8_t>(cp);
    }
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == cp) {
            return static_cast<std::uint8_t>(0x80 + i);
        }
    }
    return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at `pos`; nullopt for an invalid, overlong or surrogate one.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<std::uint8_t>(text[pos]);
    std::size_t length = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
    } else {
        return std::nullopt;
    }
    if (text.size() - pos < length) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<std::uint8_t>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    constexpr std::array<char32_t, 5> kMinimum{0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return std::nullopt;
    }
    pos += length;
    return cp;
}

// How many leading bytes are ASCII, the same in both encodings: names mostly are, whole.
std::size_t AsciiPrefix(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() && static_cast<std::uint8_t>(text[n]) < 0x80) {
        ++n;
    }
    return n;
}

}  // namespace

std::optional<char32_t> NextUtf8CodePoint(std::string_view text, std::size_t& pos) {
    return pos < text.size() ? NextCodePoint(text, pos) : std::nullopt;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    const std::size_t ascii = AsciiPrefix(bytes);
    std::string out;
    out.reserve(bytes.size() + (bytes.size() - ascii) / 2);
    out.append(bytes.substr(0, ascii));
    for (const char c : bytes.substr(ascii)) {
        AppendUtf8(out, CodePoint(static_cast<std::uint8_t>(c)));
    }
    return out;
}

std::optional<std::string> Utf8ToCp1252(std::string_view utf8, std::string* refused) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = AsciiPrefix(utf8);
    out.append(utf8.substr(0, pos));
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        const auto cp = NextCodePoint(utf8, pos);
        if (!cp) {
            if (refused != nullptr) {
                *refused = Format("\\x%02X", static_cast<unsigned>(static_cast<std::uint8_t>(utf8[start])));
            }
            return std::nullopt;
        }
        const auto byte = ByteOf(*cp);
        if (!byte) {
            if (refused != nullptr) {
                *refused = std::string(utf8.substr(start, pos - start));
            }
            return std::nullopt;
        }
        out += static_cast<char>(*byte);
    }
    return out;
}

std::string PathToUtf8(std::string_view path) {
    for (std::size_t pos = AsciiPrefix(path); pos < path.size();) {
        if (!NextCodePoint(path, pos)) {
            return Cp1252ToUtf8(path);
        }
    }
    return std::string(path);
}

std::size_t Utf8Length(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count) {
        if (!NextCodePoint(text, pos)) {
            ++pos;
        }
    }
    return count;
}

std::string TerminalText(std::string_view text) {
    std::string out;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\n', start);
        end = end == std::string_view::npos ? text.size() : end;
        const std::string_view raw = text.substr(start, end - start);
        // Most lines are plain printable ASCII, which passes as it is.
        if (std::all_of(raw.begin(), raw.end(), [](char c) { return (c >= 0x20 && c < 0x7F) || c == '\t' || c == '\r'; })) {
            out.append(raw);
        } else {
            const std::string line = PathToUtf8(raw);
            for (std::size_t pos = 0; pos < line.size();) {
                const std::size_t at = pos;
                const auto point = NextCodePoint(line, pos);
                if (!point) {  // PathToUtf8 leaves none; never loop on one
                    out += '?';
                    pos = at + 1;
                    continue;
                }
                const char32_t c = *point;
                if ((c < 0x20 && c != '\t' && c != '\r') || c == 0x7F) {
                    out += "\\x";
                    out += "0123456789ABCDEF"[c >> 4];
                    out += "0123456789ABCDEF"[c & 15];
                } else if (c >= 0x80 && c < 0xA0) {
                    out += "\\u00";
                    out += "0123456789ABCDEF"[c >> 4];
                    out += "0123456789ABCDEF"[c & 15];
                } else {
                    out.append(line, at, pos - at);
                }
            }
        }
        if (end < text.size()) {
            out += '\n';
        }
        start = end + 1;
    }
    return out;
}

bool IsAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<std::uint8_t>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

}  // namespace velmorant::core
