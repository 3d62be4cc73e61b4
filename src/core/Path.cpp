#include "core/Path.h"

namespace velmorant::core {

PathParts SplitPath(std::string_view path, char separator) {
    PathParts parts;
    std::string full(path);
    if (!full.empty() && full.back() == separator) {
        full.pop_back();
    }
    parts.fullPath = full;

    if (separator == '\\' && !full.empty() && full.back() == ':') {
        parts.directory = full;
        return parts;
    }

    // The first character never starts an extension.
    for (std::size_t i = full.size(); i-- > 1;) {
        if (full[i] == separator) {
            break;
        }
        if (full[i] == '.') {
            parts.extension = full.substr(i + 1);
            break;
        }
    }

    const auto lastSep = full.rfind(separator);
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

std::string PathFileName(std::string_view path, char separator) {
    return SplitPath(path, separator).fileName;
}

std::string PathBaseName(std::string_view path, char separator) {
    return SplitPath(path, separator).baseName;
}

std::string PathExtension(std::string_view path, char separator) {
    return SplitPath(path, separator).extension;
}

std::string PathDirectory(std::string_view path, char separator) {
    return SplitPath(path, separator).directory;
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

}  // namespace velmorant::core
