#include "core/FileNames.h"

#include "core/Encoding.h"
#include "core/File.h"
#include "core/Path.h"

namespace velmorant::core {

std::string FindNamedFile(std::string_view folder, std::string_view name, std::string_view extension) {
    const std::string decoded = JoinPath(folder, Cp1252ToUtf8(name) + std::string(extension));
    const auto exists = [](const std::string& path) { return FileExists(path) || DirectoryExists(path); };
    if (IsAscii(name) || exists(decoded)) {
        return decoded;
    }
    std::string raw = JoinPath(folder, std::string(name) + std::string(extension));
    return exists(raw) ? raw : decoded;
}

std::string NameFromFileName(std::string_view fileName) {
    // Text that is not UTF-8, or not held by the code page, is taken as the bytes it is.
    return Utf8ToCp1252(fileName).value_or(std::string(fileName));
}

}  // namespace velmorant::core
