#include "export/DestinationFile.h"

#include <algorithm>

#include "core/AtomicWrite.h"
#include "core/Text.h"

namespace velmorant::exporting {

bool WouldReplace(const std::string& path, std::span<const std::uint8_t> bytes) {
    if (core::IsLink(path)) {
        return true;
    }
    if (!core::FileExists(path)) {
        return false;
    }
    const auto stamp = core::StatFile(path);
    if (!stamp || static_cast<std::uint64_t>(stamp->size) != bytes.size()) {
        return true;
    }
    const auto existing = core::ReadWholeFile(path);
    return !existing || !std::equal(existing->begin(), existing->end(), bytes.begin(), bytes.end());
}

PlaceResult PlaceFile(const std::string& path, std::span<const std::uint8_t> bytes, bool replace) {
    PlaceResult result;
    if (!WouldReplace(path, bytes)) {
        if (core::FileExists(path)) {
            result.placed = Placed::kUnchanged;
            return result;
        }
    } else if (!replace) {
        result.placed = Placed::kTaken;
        return result;
    } else {
        for (int k = 0; result.backupPath.empty(); ++k) {
            const std::string candidate = k == 0 ? path + ".bak" : core::Format("%s.%i.bak", path.c_str(), k);
            if (!core::IsLink(candidate) && !core::FileExists(candidate) && !core::DirectoryExists(candidate)) {
                result.backupPath = candidate;
            }
        }
        result.status = core::MoveIntoPlace(path, result.backupPath);
        if (!result.status) {
            result.backupPath.clear();
            return result;
        }
    }
    result.status = core::WriteFileAtomically(path, bytes);
    result.placed = result.status ? Placed::kWritten : Placed::kFailed;
    if (!result.status && !result.backupPath.empty() && core::MoveIntoPlace(result.backupPath, path)) {
        result.backupPath.clear();  // the old file is back where it was
    }
    return result;
}

std::string PlaceFailure(const std::string& path, const PlaceResult& result) {
    if (result.placed == Placed::kTaken) {
        return core::Format("%s already holds a different file, not replaced\n", path.c_str());
    }
    return core::Format("Error writing %s : %s\n", path.c_str(), result.status.Reason().c_str());
}

}  // namespace velmorant::exporting
