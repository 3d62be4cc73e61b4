#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "core/File.h"

namespace velmorant::core {

// The destination appears complete or not at all (written under a temporary name, then renamed).
struct CopyStatus : FileStatus {
    bool sourceFailed = false;  // the error concerns reading the source
};
// With `crc`, the CRC-32 of the bytes copied is taken from the copy's own read, so a caller
// that needs it does not read the source twice.
CopyStatus CopyFileContents(const std::string& source, const std::string& destination,
                            std::uint32_t* crc = nullptr);

// Writes the bytes under a temporary name in the same folder, then renames it over
// the destination, so a crash or a full disk never leaves a half-written file.
// Every write, the flush and the close are checked. The temporary name is unpredictable and
// created exclusively, never through a link; a link at `path` is replaced, not followed.
FileStatus WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> data);
FileStatus WriteFileAtomically(const std::string& path, const std::string& text);
// The same for a file made of several pieces written one after another, so a header
// and a large payload need not be joined into one more copy first.
FileStatus WriteFilePiecesAtomically(const std::string& path, std::span<const std::span<const std::uint8_t>> pieces);

// A file written piece by piece under a temporary name in the destination's folder; Commit
// renames it over the destination. Dropped without a commit, the temporary file is removed.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool ok() const { return status_.ok(); }
    // The first failure met, with the system's reason.
    const FileStatus& status() const { return status_; }
    bool Write(std::span<const std::uint8_t> data);
    bool Commit();

private:
    std::string path_;
    std::string temporary_;
    std::FILE* file_ = nullptr;
    FileStatus status_;
    bool committed_ = false;
};

}  // namespace velmorant::core
