#include "core/File.h"

#include "core/Encoding.h"
#include "core/FileHandle.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <cerrno>
#include <memory>
#include <random>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#include <shellapi.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace velmorant::core {
namespace fs = std::filesystem;

namespace {

// A short name beside `path` that nobody can guess and plant beforehand (a link there would
// otherwise redirect the write); short, so a final name near the length limit still works.
std::string TemporaryNameFor(const std::string& path) {
    static const std::uint64_t seed = [] {
        std::random_device device;
        return (static_cast<std::uint64_t>(device()) << 32) ^ device();
    }();
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t x = seed + (counter.fetch_add(1) + 1) * 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    char name[40];
    std::snprintf(name, sizeof name, ".velmorant-%016llx.tmp", static_cast<unsigned long long>(x));
    return PathText(NativePath(path).parent_path() / name);
}

#ifndef _WIN32
FileStamp StampOf(const struct stat& st) {
    return FileStamp{static_cast<std::int64_t>(st.st_size),
                     static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// A regular file opened for reading, with its status, or -1. Opened first and looked at after:
// one look at the file, and O_NONBLOCK keeps a FIFO or device under the name from holding
// the open (it changes nothing for a regular file).
int OpenRegular(const std::string& path, struct stat& st) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads until `size` bytes are in or the file ends; the count read, and `failed` on an error.
std::size_t ReadFully(int fd, std::uint8_t* data, std::size_t size, bool& failed) {
    std::size_t filled = 0;
    while (filled < size) {
        const ssize_t n = ::read(fd, data + filled, size - filled);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            failed = n < 0;
            break;
        }
        filled += static_cast<std::size_t>(n);
    }
    return filled;
}

struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
};
#endif

}  // namespace

FilePtr OpenRead(const std::string& path) {
    std::optional<FileStamp> stamp;
    return OpenRead(path, stamp);
}

FilePtr OpenRead(const std::string& path, std::optional<FileStamp>& stamp) {
    stamp.reset();
#ifndef _WIN32
    struct stat st {};
    const int fd = OpenRegular(path, st);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) {
        ::close(fd);
        return nullptr;
    }
    stamp = StampOf(st);
    return FilePtr(file);
#else
    std::error_code ec;
    if (!fs::is_regular_file(NativePath(path), ec)) {
        return nullptr;
    }
    return FilePtr(OpenFile(path, "rb"));
#endif
}

std::optional<FileStamp> StreamStamp(std::FILE* stream) {
#ifndef _WIN32
    struct stat st {};
    if (::fstat(fileno(stream), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    return StampOf(st);
#else
    (void)stream;
    return std::nullopt;  // its stamps would not compare with StatFile's
#endif
}

FileStatus LastError() {
    const int error = errno;
    return FileStatus{std::error_code(error != 0 ? error : EIO, std::generic_category())};
}

TemporaryFile CreateTemporaryFor(const std::string& path) {
    TemporaryFile temporary;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary.path = TemporaryNameFor(path);
        errno = 0;
#ifdef _WIN32
        const int fd = _wopen(NativePath(temporary.path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                             _S_IREAD | _S_IWRITE);
#else
        const int fd = ::open(temporary.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
#endif
        if (fd < 0) {
            temporary.status = LastError();
            if (errno == EEXIST) {
                continue;
            }
            return temporary;
        }
#ifdef _WIN32
        temporary.file.reset(_fdopen(fd, "wb"));
        if (!temporary.file) {
            temporary.status = LastError();
            _close(fd);
        }
#else
        temporary.file.reset(::fdopen(fd, "wb"));
        if (!temporary.file) {
            temporary.status = LastError();
            ::close(fd);
        }
#endif
        if (!temporary.file) {
            std::error_code ignored;
            fs::remove(NativePath(temporary.path), ignored);
            return temporary;
        }
        temporary.status = {};
        return temporary;
    }
    return temporary;
}

FileStatus WritePiece(std::FILE* file, std::span<const std::uint8_t> piece) {
    errno = 0;
    return std::fwrite(piece.data(), 1, piece.size(), file) == piece.size() ? FileStatus{} : LastError();
}

// Source to destination without a pass through user memory where the system offers it.
FileStatus CopyStream(std::FILE* in, std::FILE* out, bool& sourceFailed) {
#ifdef __linux__
    for (;;) {
        const ssize_t n = ::copy_file_range(fileno(in), nullptr, fileno(out), nullptr, 1 << 30, 0);
        if (n == 0) {
            return {};
        }
        if (n < 0) {
            // Filesystems without support say so before copying anything; then copy by hand.
            if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) {
                break;
            }
            return LastError();
        }
    }
#endif
    static thread_local std::vector<std::uint8_t> block(1 << 20);
    for (;;) {
        errno = 0;
        const std::size_t n = std::fread(block.data(), 1, block.size(), in);
        if (n == 0) {
            if (std::ferror(in) != 0) {
                sourceFailed = true;
                return LastError();
            }
            return {};
        }
        if (FileStatus status = WritePiece(out, std::span<const std::uint8_t>(block.data(), n)); !status) {
            return status;
        }
    }
}

fs::path NativePath(std::string_view utf8) {
#ifdef _WIN32
    // A byte that starts no UTF-8 character is the instrument's own Windows-1252 text, as its
    // files hold it; taken byte by byte, so a UTF-8 folder above such a name stays itself.
    std::u8string text;
    text.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t start = pos;
        if (NextUtf8CodePoint(utf8, pos)) {
            text.append(utf8.begin() + start, utf8.begin() + pos);
        } else {
            const std::string decoded = Cp1252ToUtf8(utf8.substr(pos++, 1));
            text.append(decoded.begin(), decoded.end());
        }
    }
    return fs::path(text);
#else
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
#endif
}

std::string PathText(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(NativePath(path).c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
#ifdef _WIN32
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide != nullptr) {
        std::vector<std::string> args;
        for (int i = 0; i < count; ++i) {
            args.push_back(PathText(fs::path(wide[i])));
        }
        LocalFree(wide);
        return args;
    }
#endif
    return std::vector<std::string>(argv, argv + argc);
}

bool FileExists(const std::string& path) {
#ifndef _WIN32
    struct stat st {};
    const int fd = OpenRegular(path, st);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
#else
    return OpenRead(path) != nullptr;
#endif
}

bool DirectoryExists(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(NativePath(path), ec);
}

std::int64_t FileSize(const std::string& path) {
    const auto stamp = StatFile(path);
    return stamp ? stamp->size : 0;
}

std::string AbsolutePath(const std::string& path) {
#ifndef _WIN32
    // Already absolute with no ".", ".." or empty step (as every path a volume walk builds):
    // itself, without taking it apart.
    bool normal = path.size() > 1 && path.front() == '/' && path.back() != '/';
    for (std::size_t start = 1; normal && start <= path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string_view step(path.data() + start, end - start);
        normal = !step.empty() && step != "." && step != "..";
        start = end + 1;
    }
    if (normal) {
        return path;
    }
#endif
    std::error_code ec;
    const fs::path full = fs::absolute(NativePath(path), ec);
    return ec ? path : PathText(full.lexically_normal());
}

FileStatus MakeDirectory(const std::string& path) {
    std::error_code ec;
    if (!fs::create_directory(NativePath(path), ec) && !ec) {
        ec = std::make_error_code(std::errc::file_exists);
    }
    return FileStatus{ec};
}

FileStatus RemoveFile(const std::string& path) {
    std::error_code ec;
    fs::remove(NativePath(path), ec);
    return FileStatus{ec};
}

std::optional<std::vector<std::uint8_t>> ReadFileHead(const std::string& path, std::size_t n) {
#ifndef _WIN32
    struct stat st {};
    const int fd = OpenRegular(path, st);
    if (fd < 0) {
        return std::nullopt;
    }
    const FdCloser closer{fd};
    std::vector<std::uint8_t> head(n);
    bool failed = false;
    head.resize(ReadFully(fd, head.data(), n, failed));
    return head;
#else
    FilePtr file = OpenRead(path);
    if (!file) {
        return std::nullopt;
    }
    // Unbuffered, so a probe reads these n bytes and not a whole buffer of the file.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    std::vector<std::uint8_t> head(n);
    head.resize(std::fread(head.data(), 1, n, file.get()));
    return head;
#endif
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::uint64_t maxBytes) {
#ifndef _WIN32
    struct stat st {};
    const int fd = OpenRegular(path, st);
    if (fd < 0) {
        return std::nullopt;
    }
    const FdCloser closer{fd};
    const auto expected = static_cast<std::uint64_t>(st.st_size);
    if (expected > maxBytes) {
        return std::nullopt;  // refused before reading a byte of it
    }
    // Straight into a buffer of the expected size, one byte more to notice a file that grew
    // meanwhile: one read for a small file, no copy on the way in.
    const std::uint64_t limit = maxBytes == UINT64_MAX ? maxBytes : maxBytes + 1;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(expected + 1));
    std::size_t filled = 0;
    for (;;) {
        bool failed = false;
        filled += ReadFully(fd, data.data() + filled, data.size() - filled, failed);
        if (failed || filled > maxBytes) {
            return std::nullopt;
        }
        if (filled < data.size()) {
            break;
        }
        data.resize(static_cast<std::size_t>(std::min<std::uint64_t>(data.size() * 2, limit)));
    }
    data.resize(filled);
    return data;
#else
    FilePtr file = OpenRead(path);
    if (!file) {
        return std::nullopt;
    }
    // Read straight into a buffer of the expected size (one byte more, to notice a file that
    // grew meanwhile); no block is copied twice on its way in.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    std::error_code ec;
    const auto expected = fs::file_size(NativePath(path), ec);
    if (!ec && expected > maxBytes) {
        return std::nullopt;  // refused before reading a byte of it
    }
    std::vector<std::uint8_t> data(
        static_cast<std::size_t>(ec ? 64 * 1024 : std::min<std::uint64_t>(expected, maxBytes) + 1));
    std::size_t filled = 0;
    for (;;) {
        if (filled == data.size()) {
            data.resize(data.size() * 2);
        }
        const std::size_t n = std::fread(data.data() + filled, 1, data.size() - filled, file.get());
        if (n == 0) {
            break;
        }
        filled += n;
        if (filled > maxBytes) {
            return std::nullopt;
        }
    }
    data.resize(filled);
    if (std::ferror(file.get()) != 0) {
        return std::nullopt;
    }
    return data;
#endif
}

bool IsLink(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(NativePath(path), ec);
    return !ec && fs::is_symlink(status);
}

FileStatus MoveIntoPlace(const std::string& from, const std::string& to) {
    // rename() replaces the directory entry itself, so a link at `to` is never written through.
    std::error_code ec;
    fs::rename(NativePath(from), NativePath(to), ec);
    return FileStatus{ec};
}

ExclusiveLock::ExclusiveLock(std::string path) : path_(std::move(path)) {
#ifdef _WIN32
    // No sharing: a second open fails while this handle lives, and the file goes with it.
    HANDLE handle = CreateFileW(NativePath(path_).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        busy_ = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
        status_.error = std::error_code(static_cast<int>(error), std::system_category());
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(handle);
#else
    // The holder removes the file when done; a process that opened it just before must not
    // then hold a lock on a removed file while a third locks a new one, hence the check
    // that the locked file is still the one under the name.
    for (int attempt = 0; attempt < 16; ++attempt) {
        errno = 0;
        const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            status_ = LastError();
            return;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            status_ = LastError();
            busy_ = errno == EWOULDBLOCK;
            ::close(fd);
            return;
        }
        struct stat opened {};
        struct stat named {};
        if (::fstat(fd, &opened) == 0 && ::lstat(path_.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
            opened.st_ino == named.st_ino) {
            handle_ = fd;
            status_ = {};
            return;
        }
        ::close(fd);
    }
    status_.error = std::make_error_code(std::errc::resource_unavailable_try_again);
#endif
}

ExclusiveLock::~ExclusiveLock() {
    if (!held()) {
        return;
    }
#ifdef _WIN32
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
#else
    ::unlink(path_.c_str());
    ::close(static_cast<int>(handle_));
#endif
}

std::optional<std::vector<std::string>> ListDirectory(const std::string& path) {
#ifndef _WIN32
    // The names as the system gives them, with no path object built per entry.
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            break;
        }
        const std::string_view name(entry->d_name);
        if (name != "." && name != "..") {
            names.emplace_back(name);
        }
    }
    const bool failed = errno != 0;
    ::closedir(dir);
    if (failed) {
        return std::nullopt;
    }
    return names;
#else
    std::error_code ec;
    fs::directory_iterator it(NativePath(path), ec);
    if (ec) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        names.push_back(PathText(it->path().filename()));
    }
    if (ec) {
        return std::nullopt;
    }
    return names;
#endif
}

std::optional<FileStamp> StatFile(const std::string& path) {
#ifndef _WIN32
    // One system call: a volume check stats every reference of every program.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    return StampOf(st);
#else
    std::error_code ec;
    const fs::path p = NativePath(path);
    if (!fs::is_regular_file(p, ec)) {
        return std::nullopt;
    }
    FileStamp stamp;
    stamp.size = static_cast<std::int64_t>(fs::file_size(p, ec));
    if (ec) {
        return std::nullopt;
    }
    const auto time = fs::last_write_time(p, ec);
    if (ec) {
        return std::nullopt;
    }
    stamp.modified = static_cast<std::int64_t>(time.time_since_epoch().count());
    return stamp;
#endif
}

bool StreamIsTerminal(std::FILE* stream) {
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

#ifndef _WIN32
bool RunProgram(const char* program, const std::string& argument) {
    // Spawned without a shell, so no character of the argument is ever interpreted.
    std::string name(program);
    std::string copy(argument);
    char* argv[] = {name.data(), copy.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program, nullptr, nullptr, argv, environ) != 0) {
        return false;
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) {
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
#endif

}  // namespace velmorant::core
