#pragma once

#include <string>
#include <string_view>

namespace velmorant::core {

#ifdef _WIN32
inline constexpr char kNativeSeparator = '\\';
#else
inline constexpr char kNativeSeparator = '/';
#endif

// One path split at its separators. With the backslash (Windows) a slash separates too, as
// the system's own calls and Qt's dialogs allow, and the drive-colon rule applies.
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

// True when a name the program is about to create (a file with its extension, or a folder) is
// safe and every system the volume may travel to can hold it: none of < > : " | ? * or control
// characters, no trailing dot or blank (Windows drops them, so two names would meet), and not a
// device name such as CON, NUL, COM1 or LPT1, with or without an extension.
bool IsPortableFileName(std::string_view name);

}  // namespace velmorant::core
