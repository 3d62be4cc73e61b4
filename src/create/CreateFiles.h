#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "core/File.h"
#include "core/Path.h"
#include "formats/ReferenceRecord.h"

namespace velmorant::create {

// Reference records carry names of at most this many characters.
inline constexpr std::size_t kReferenceNameLength = formats::kReferenceNameWidth;

// "folder/name", or the name alone when the chosen file had no folder.
inline std::string InFolder(const std::string& folder, std::string_view name) {
    return folder.empty() ? std::string(name) : core::JoinPath(folder, name);
}

// A reader refuses a reference whose name holds a separator of either system, so a name that a
// build writes into a reference holds none ("\\" is a plain character of a Linux file name).
inline std::string WithoutSeparators(std::string_view name) {
    std::string text(name);
    std::replace(text.begin(), text.end(), '\\', '_');
    std::replace(text.begin(), text.end(), '/', '_');
    return text;
}

// "Cannot create the file <path>: <the system's reason>".
inline std::string CannotCreateText(const std::string& path, const core::FileStatus& status) {
    return "Cannot create the file " + path + ": " + status.Reason();
}

}  // namespace velmorant::create
