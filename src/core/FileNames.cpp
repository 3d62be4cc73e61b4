#include "core/FileNames.h"

#include <algorithm>
#include <filesystem>

#include "core/Encoding.h"
#include "core/File.h"
#include "core/Path.h"

namespace velmorant::core {

namespace {

// Windows-1252 letters in one case, as a disk that ignores case compares them.
std::string FoldCase(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) {
            c = static_cast<char>(b + 0x20);
        } else if (b == 0x8A || b == 0x8C || b == 0x8E) {
            c = static_cast<char>(b + 0x10);
        } else if (b == 0x9F) {
            c = static_cast<char>(0xFF);
        }
    }
    return folded;
}

}  // namespace

std::string FindNamedFile(std::string_view folder, std::string_view name, std::string_view extension,
                          FileSource& files) {
    const std::string decoded = JoinPath(folder, Cp1252ToUtf8(name) + std::string(extension));
    const auto exists = [&files](const std::string& path) { return files.Exists(path); };
    if (exists(decoded)) {
        return decoded;
    }
    if (!IsAscii(name)) {
        std::string raw = JoinPath(folder, std::string(name) + std::string(extension));
        if (exists(raw)) {
            return raw;
        }
    }
    // Volumes copied from a disk that ignores letter case keep references whose case differs.
    if (auto entries = files.List(std::string(folder))) {
        std::sort(entries->begin(), entries->end());
        const std::string wanted = FoldCase(std::string(name) + std::string(extension));
        for (const std::string& entry : *entries) {
            if (FoldCase(NameFromFileName(entry)) == wanted) {
                return JoinPath(folder, entry);
            }
        }
    }
    return decoded;
}

std::string NameFromFileName(std::string_view fileName) {
    // Text that is not UTF-8, or not held by the code page, is taken as the bytes it is.
    return Utf8ToCp1252(fileName).value_or(std::string(fileName));
}

std::string SanitiseFileName(std::string_view name, NameRule rule) {
    std::string safe(name);
    for (char& c : safe) {
        const auto byte = static_cast<unsigned char>(c);
        const bool refused = c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
                             c == '>' || c == '|';
        const bool plain = byte >= 0x20 && byte != 0x7F && c != ' ';
        if (refused || (rule == NameRule::kGeneratedName && !plain)) {
            c = '_';
        }
    }
    return safe;
}

}  // namespace velmorant::core
