#include "core/Path.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

namespace velmorant::core {

namespace {

bool IsSeparator(char c, char separator) {
    return c == separator || (separator == '\\' && c == '/');
}

// Where the file name of `path` starts, once one trailing separator is dropped from `path`;
// nullopt for a bare drive ("C:"), which is all folder.
std::optional<std::size_t> FileNameStart(std::string_view& path, char separator) {
    if (!path.empty() && IsSeparator(path.back(), separator)) {
        path.remove_suffix(1);
    }
    if (separator == '\\' && !path.empty() && path.back() == ':') {
        return std::nullopt;
    }
    const auto lastSep = separator == '\\' ? path.find_last_of("\\/") : path.rfind(separator);
    return lastSep == std::string_view::npos ? 0 : lastSep + 1;
}

}  // namespace

PathParts SplitPath(std::string_view path, char separator) {
    PathParts parts;
    std::string full(path);
    if (!full.empty() && IsSeparator(full.back(), separator)) {
        full.pop_back();
    }
    parts.fullPath = full;

    if (separator == '\\' && !full.empty() && full.back() == ':') {
        parts.directory = full;
        return parts;
    }

    // The first character never starts an extension.
    for (std::size_t i = full.size(); i-- > 1;) {
        if (IsSeparator(full[i], separator)) {
            break;
        }
        if (full[i] == '.') {
            parts.extension = full.substr(i + 1);
            break;
        }
    }

    const auto lastSep = separator == '\\' ? full.find_last_of("\\/") : full.rfind(separator);
    parts.fileName = lastSep == std::string::npos ? full : full.substr(lastSep + 1);

    if (!parts.extension.empty()) {
        parts.baseName = parts.fileName.substr(0, parts.fileName.size() - parts.extension.size() - 1);
    } else {
        parts.baseName = parts.fileName;
    }

    if (full.size() > parts.fileName.size()) {
        parts.directory = full.substr(0, full.size() - parts.fileName.size() - 1);
    }
    return parts;
}

// Name and folder are asked for once per reference of a volume walk: cut without SplitPath's copies.
std::string PathFileName(std::string_view path, char separator) {
    const auto start = FileNameStart(path, separator);
    return start ? std::string(path.substr(*start)) : std::string();
}

std::string PathBaseName(std::string_view path, char separator) {
    return SplitPath(path, separator).baseName;
}

std::string PathExtension(std::string_view path, char separator) {
    return SplitPath(path, separator).extension;
}

std::string PathDirectory(std::string_view path, char separator) {
    const auto start = FileNameStart(path, separator);
    if (!start) {
        return std::string(path);
    }
    return *start == 0 ? std::string() : std::string(path.substr(0, *start - 1));
}

std::string JoinPath(std::string_view a, std::string_view b, char separator) {
    std::string joined;
    joined.reserve(a.size() + 1 + b.size());
    joined.append(a);
    joined.push_back(separator);
    joined.append(b);
    return joined;
}

bool IsSafePathComponent(std::string_view name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    for (char c : name) {
        if (c == '/' || c == '\\' || c == '\0') {
            return false;
        }
    }
#ifdef _WIN32
    if (name.find(':') != std::string_view::npos) {
        return false;
    }
#endif
    return true;
}

bool IsPortableFileName(std::string_view name) {
    if (!IsSafePathComponent(name) || name.back() == '.' || name.back() == ' ') {
        return false;
    }
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"|?*").find(c) != std::string_view::npos) {
            return false;
        }
    }
    // Windows reserves device names before any extension, and ignores blanks after them.
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();
    }
    std::transform(stem.begin(), stem.end(), stem.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    static constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
    if (std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) {
        return false;
    }
    const bool numberedDevice = stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
                                stem[3] >= '1' && stem[3] <= '9';
    return !numberedDevice;
}

}  // namespace velmorant::core
