#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <string_view>
#include <vector>

namespace velmorant::core {

// What a file-system operation came to: no error when it was done.
struct FileStatus {
    std::error_code error;
    bool ok() const { return !error; }
    explicit operator bool() const { return ok(); }
    // The system's own words ("No space left on device").
    std::string Reason() const { return error.message(); }
};

// Paths are UTF-8 text everywhere in the program. These turn them into the system's paths and
// back: wide on Windows, never through its ANSI code page, which cannot hold most names.
std::filesystem::path NativePath(std::string_view utf8);
std::string PathText(const std::filesystem::path& path);
// fopen for a UTF-8 path.
std::FILE* OpenFile(const std::string& path, const char* mode);
// The program's arguments as UTF-8 (on Windows read from the wide command line).
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// True when the path names a regular file that opens for binary reading
// (a directory is not a file, even where the C library would open it).
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// Size in bytes; 0 when the file cannot be opened.
std::int64_t FileSize(const std::string& path);

// The destination appears complete or not at all (written under a temporary name, then renamed).
struct CopyStatus : FileStatus {
    bool sourceFailed = false;  // the error concerns reading the source
};
CopyStatus CopyFileContents(const std::string& source, const std::string& destination);

// CRC-32 (IEEE 802.3, reflected, preset and result complemented).
std::uint32_t Crc32Update(std::uint32_t crc, std::span<const std::uint8_t> data);
// CRC-32 of the rest of the stream, or 0xFFFFFFFF on a read error.
std::uint32_t StreamCrc32(std::FILE* stream);
// CRC-32 of the whole file, or 0xFFFFFFFF when it cannot be opened.
std::uint32_t FileCrc32(const std::string& path);
// 1 when both files have the same size and the same CRC-32, else 0.
int FilesEqual(const std::string& a, const std::string& b);

// The path made absolute against the working folder, with "." and ".." steps taken out, so
// that its parent folders are the real ones (a program's volume is two folders up); the path
// as given when the working folder is unknown.
std::string AbsolutePath(const std::string& path);

// Creates one directory level; fails when it exists already or its parent is missing.
FileStatus MakeDirectory(const std::string& path);
// The folder as it is when it exists, otherwise created (one level); false when neither.
inline bool EnterOrCreateFolder(const std::string& folder) {
    return DirectoryExists(folder) || MakeDirectory(folder);
}

// The first n bytes of a file (fewer when it is shorter); nullopt when it cannot be opened.
std::optional<std::vector<std::uint8_t>> ReadFileHead(const std::string& path, std::size_t n);

// Whole file into memory, refusing files above maxBytes; nullopt when it cannot be read.
inline constexpr std::uint64_t kMaxWholeFileBytes = 256u << 20;
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                       std::uint64_t maxBytes = kMaxWholeFileBytes);

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

// True for a symbolic link, whatever it points at.
bool IsLink(const std::string& path);

// Renames `from` to `to`, replacing a file or link there (a link is replaced, never followed).
FileStatus MoveIntoPlace(const std::string& from, const std::string& to);

// An exclusive advisory lock on a file of its own, so two processes writing into one
// folder take turns. The file is removed when the lock goes.
class ExclusiveLock {
public:
    // Takes the lock without waiting. held() false with busy() true when another process
    // holds it; otherwise status() says why the file could not be created or locked.
    explicit ExclusiveLock(std::string path);
    ~ExclusiveLock();
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

    bool held() const { return handle_ != kNoHandle; }
    bool busy() const { return busy_; }
    const FileStatus& status() const { return status_; }

private:
    static constexpr std::intptr_t kNoHandle = -1;
    std::string path_;
    std::intptr_t handle_ = kNoHandle;
    bool busy_ = false;
    FileStatus status_;
};

// Names of the entries of a folder, in listing order; nullopt when it cannot be listed.
std::optional<std::vector<std::string>> ListDirectory(const std::string& path);

// A size and modification stamp used to tell whether a file changed between two looks.
struct FileStamp {
    std::int64_t size = -1;
    std::int64_t modified = 0;
    bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> StatFile(const std::string& path);

// True when standard error is an interactive terminal (a progress line is drawn only there).
bool StandardErrorIsTerminal();

// Hands a document to the desktop's default viewer (xdg-open, open, or the shell on
// Windows, maximised); false when no viewer took it.
bool OpenWithDefaultViewer(const std::string& path);

}  // namespace velmorant::core
