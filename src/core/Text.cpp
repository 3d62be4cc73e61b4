#include "core/Text.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace velmorant::core {

std::string FormatV(const char* format, std::va_list args) {
    // Most texts (log lines) fit here: formatted once rather than measured first.
    char small[512];
    std::va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (needed <= 0) {
        return {};
    }
    if (static_cast<std::size_t>(needed) < sizeof small) {
        return std::string(small, static_cast<std::size_t>(needed));
    }
    std::string out(static_cast<std::size_t>(needed) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<std::size_t>(needed));
    return out;
}

std::string Format(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::string out = FormatV(format, args);
    va_end(args);
    return out;
}

std::vector<std::string> SplitText(std::string_view text, std::string_view separator, bool keepEmpty) {
    std::vector<std::string> fields;
    if (separator.empty()) {
        fields.emplace_back(text);
        return fields;
    }
    std::size_t pos = 0;
    for (;;) {
        const auto hit = text.find(separator, pos);
        if (hit == std::string_view::npos) {
            break;
        }
        if (keepEmpty || hit > pos) {
            fields.emplace_back(text.substr(pos, hit - pos));
        }
        pos = hit + separator.size();
    }
    if (pos < text.size()) {
        fields.emplace_back(text.substr(pos));
    } else if (keepEmpty) {
        fields.emplace_back();
    }
    return fields;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view TrimSpaces(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && IsSpace(text[begin])) {
        ++begin;
    }
    std::size_t end = text.size();
    while (end > begin && IsSpace(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

std::string_view TrimTrailingSpaces(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && IsSpace(text[end - 1])) {
        --end;
    }
    return text.substr(0, end);
}

void UpperCaseInPlace(std::string& text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
}

std::string CutText(std::string_view text, std::size_t n) {
    return std::string(text.substr(0, n));
}

std::int32_t LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), std::int64_t{1} << 32);
    }
    value = negative ? -value : value;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

}  // namespace velmorant::core
