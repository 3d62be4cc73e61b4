#pragma once

#include <string>
#include <string_view>

namespace velmorant::core {

#ifdef _WIN32
inline constexpr char kNativeSeparator = '\\';
#else
inline constexpr char kNativeSeparator = '/';
#endif

// One path split at its separators. The drive-colon rule only applies when the
// separator is a backslash, i.e. on Windows.
struct PathParts {
    std::string fullPath;
    std::string fileName;
    std::string baseName;
    std::string extension;
    std::string directory;
};

PathParts SplitPath(std::string_view path, char separator = kNativeSeparator);

std::string PathFileName(std::string_view path, char separator = kNativeSeparator);
std::string PathBaseName(std::string_view path, char separator = kNativeSeparator);
std::string PathExtension(std::string_view path, char separator = kNativeSeparator);
std::string PathDirectory(std::string_view path, char separator = kNativeSeparator);

// "%s\%s" with the native separator.
std::string JoinPath(std::string_view a, std::string_view b, char separator = kNativeSeparator);

// True when a name taken from a file or record can safely become one path component:
// not empty, not "." or "..", no separator of either platform, no NUL.
bool IsSafePathComponent(std::string_view name);

}  // namespace velmorant::core
