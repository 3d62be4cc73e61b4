#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "core/File.h"

namespace velmorant::exporting {

// True when something other than these very bytes lies at the path: a different file, or
// a link (a link is never taken for the file it points at).
bool WouldReplace(const std::string& path, std::span<const std::uint8_t> bytes);

enum class Placed {
    kWritten,
    kUnchanged,  // the same bytes were there already
    kTaken,      // a different file is there and replacing was not allowed
    kFailed,     // see status
};

struct PlaceResult {
    Placed placed = Placed::kFailed;
    core::FileStatus status;
    std::string backupPath;  // where the replaced file went, when one was replaced
};

// Writes the bytes as the file at `path`. A different file already there is left alone
// unless `replace`; then it is kept beside the new one as "<name>.bak" (numbered when taken).
PlaceResult PlaceFile(const std::string& path, std::span<const std::uint8_t> bytes, bool replace);

// The line a program log or a message gives for a file that could not be written.
std::string PlaceFailure(const std::string& path, const PlaceResult& result);

}  // namespace velmorant::exporting
