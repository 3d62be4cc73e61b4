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

#include "core/FileHandle.h"

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

// Removes one file (a link itself, never what it points at); no error when nothing is there.
FileStatus RemoveFile(const std::string& path);

// The first n bytes of a file (fewer when it is shorter); nullopt when it cannot be opened.
std::optional<std::vector<std::uint8_t>> ReadFileHead(const std::string& path, std::size_t n);

// Whole file into memory, refusing files above maxBytes; nullopt when it cannot be read.
inline constexpr std::uint64_t kMaxWholeFileBytes = 256u << 20;
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                       std::uint64_t maxBytes = kMaxWholeFileBytes);

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

// The system calls that the checksum, atomic write, terminal and viewer files build on, kept
// here with everything else that differs between systems.

// A regular file opened for binary reading; null for anything else (a directory opens
// with some C libraries).
FilePtr OpenRead(const std::string& path);
// The same, with the file's stamp as it was opened in `stamp` where the system tells it.
FilePtr OpenRead(const std::string& path, std::optional<FileStamp>& stamp);
// The open file's stamp, as StatFile gives it; nullopt where the system cannot say.
std::optional<FileStamp> StreamStamp(std::FILE* stream);

// errno as a status; a failing call that left errno unset still reads as a failure.
FileStatus LastError();

// A new file beside `path` under a name nobody can guess, created exclusively: an existing
// file or link under that name is never opened.
struct TemporaryFile {
    FilePtr file;
    std::string path;
    FileStatus status;
};
TemporaryFile CreateTemporaryFor(const std::string& path);

// Every byte written, or the system's reason.
FileStatus WritePiece(std::FILE* file, std::span<const std::uint8_t> piece);

// The rest of `in` appended to `out`; sourceFailed set when reading was what failed.
FileStatus CopyStream(std::FILE* in, std::FILE* out, bool& sourceFailed);

bool StreamIsTerminal(std::FILE* stream);
#ifndef _WIN32
// Runs a program with one argument, without a shell, and waits; true when it exited with 0.
bool RunProgram(const char* program, const std::string& argument);
#endif

}  // namespace velmorant::core
