#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmorant::core {

#if defined(__MINGW_PRINTF_FORMAT)
// MinGW's C99-conforming printf family (%zu, %lld), not the older system library's.
#define VELMORANT_PRINTF(fmt, args) __attribute__((format(__MINGW_PRINTF_FORMAT, fmt, args)))
#elif defined(__GNUC__) || defined(__clang__)
#define VELMORANT_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define VELMORANT_PRINTF(fmt, args)
#endif

// printf-style formatting into a std::string: the system's messages are printf formats.
std::string Format(const char* format, ...) VELMORANT_PRINTF(1, 2);
std::string FormatV(const char* format, std::va_list args);

std::vector<std::string> SplitText(std::string_view text, std::string_view separator, bool keepEmpty);

// White space as the C locale classifies it: space, \t, \n, \v, \f, \r.
bool IsSpace(char c);
std::string_view TrimSpaces(std::string_view text);
std::string_view TrimTrailingSpaces(std::string_view text);
void UpperCaseInPlace(std::string& text);

// The first n characters (bytes) of a text.
std::string CutText(std::string_view text, std::size_t n);

bool StartsWith(std::string_view text, std::string_view prefix);

// The decimal number a text starts with: leading white space, an optional sign, digits up
// to the first other character. 0 without digits; saturates at the 32-bit limits.
std::int32_t LeadingNumber(std::string_view text);
bool EndsWith(std::string_view text, std::string_view suffix);

}  // namespace velmorant::core
