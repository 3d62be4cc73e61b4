#include "core/FileNames.h"

#include <algorithm>
#include <filesystem>

#include "core/Encoding.h"
#include "core/File.h"
#include "core/Path.h"

namespace velmorant::core {

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

}  // namespace velmorant::core
