#include "core/File.h"

#include "core/Debug.h"
#include "core/FileHandle.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

#ifdef VELMORANT_HAVE_ISAL
#include <isa-l/crc.h>
#else
#include <zlib.h>
#endif

namespace velmorant::core {
namespace fs = std::filesystem;

namespace {

FilePtr OpenRead(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::path(path), ec)) {
        return nullptr;
    }
    return FilePtr(std::fopen(path.c_str(), "rb"));
}

constexpr std::size_t kChecksumBlock = 256 * 1024;

std::string TemporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".tmp-velmorant-" + std::to_string(counter.fetch_add(1));
}

}  // namespace

bool FileExists(const std::string& path) {
    return OpenRead(path) != nullptr;
}

bool DirectoryExists(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(fs::path(path), ec);
}

std::int64_t FileSize(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::path(path), ec)) {
        return 0;
    }
    const auto size = fs::file_size(fs::path(path), ec);
    return ec ? 0 : static_cast<std::int64_t>(size);
}

int CopyFileContents(const std::string& source, const std::string& destination) {
    if (!FileExists(source)) {
        return 1;
    }
    const std::string temporary = TemporaryNameFor(destination);
    std::error_code ec;
    // copy_file uses the system's own copy path (copy_file_range, sendfile, reflinks).
    fs::copy_file(fs::path(source), fs::path(temporary), fs::copy_options::overwrite_existing, ec);
    if (!ec) {
        fs::rename(fs::path(temporary), fs::path(destination), ec);
    }
    if (ec) {
        std::error_code ignored;
        fs::remove(fs::path(temporary), ignored);
        return 2;
    }
    return 0;
}

std::uint32_t Crc32Update(std::uint32_t crc, std::span<const std::uint8_t> data) {
#ifdef VELMORANT_HAVE_ISAL
    // ISA-L takes and returns the plain checksum; chaining works like zlib's crc32().
    std::size_t done = 0;
    while (done < data.size()) {
        const std::size_t n = std::min<std::size_t>(data.size() - done, 1u << 30);
        crc = crc32_gzip_refl(crc, data.data() + done, n);
        done += n;
    }
    return crc;
#else
    std::size_t done = 0;
    while (done < data.size()) {
        const std::size_t n = std::min<std::size_t>(data.size() - done, 1u << 30);
        crc = static_cast<std::uint32_t>(::crc32(crc, data.data() + done, static_cast<uInt>(n)));
        done += n;
    }
    return crc;
#endif
}

std::uint32_t StreamCrc32(std::FILE* stream) {
    if (stream == nullptr) {
        return 0xFFFFFFFFu;
    }
    std::vector<std::uint8_t> block(kChecksumBlock);
    std::uint32_t crc = 0;
    for (;;) {
        const std::size_t n = std::fread(block.data(), 1, block.size(), stream);
        if (n == 0) {
            break;
        }
        crc = Crc32Update(crc, std::span<const std::uint8_t>(block.data(), n));
    }
    if (std::ferror(stream) != 0) {
        DebugPrint("error reading file\n");
        return 0xFFFFFFFFu;
    }
    return crc;
}

std::uint32_t FileCrc32(const std::string& path) {
    FilePtr file = OpenRead(path);
    if (!file) {
        return 0xFFFFFFFFu;
    }
    // Checksumming streams the file; its buffer is ours, so stdio's is not needed.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    return StreamCrc32(file.get());
}

int FilesEqual(const std::string& a, const std::string& b) {
    if (FileSize(a) != FileSize(b)) {
        return 0;
    }
    return FileCrc32(a) == FileCrc32(b) ? 1 : 0;
}

bool MakeDirectory(const std::string& path) {
    std::error_code ec;
    return fs::create_directory(fs::path(path), ec) && !ec;
}

std::optional<std::vector<std::uint8_t>> ReadFileHead(const std::string& path, std::size_t n) {
    FilePtr file = OpenRead(path);
    if (!file) {
        return std::nullopt;
    }
    // Unbuffered, so a probe reads these n bytes and not a whole buffer of the file.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    std::vector<std::uint8_t> head(n);
    head.resize(std::fread(head.data(), 1, n, file.get()));
    return head;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::uint64_t maxBytes) {
    FilePtr file = OpenRead(path);
    if (!file) {
        return std::nullopt;
    }
    // Read straight into a buffer of the expected size (one byte more, to notice a file that
    // grew meanwhile); no block is copied twice on its way in.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    std::error_code ec;
    const auto expected = fs::file_size(fs::path(path), ec);
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
}

bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> data) {
    const std::span<const std::uint8_t> pieces[] = {data};
    return WriteFilePiecesAtomically(path, pieces);
}

AtomicFileWriter::AtomicFileWriter(std::string path) : path_(std::move(path)), temporary_(TemporaryNameFor(path_)) {
    file_ = std::fopen(temporary_.c_str(), "wb");
    ok_ = file_ != nullptr;
}

AtomicFileWriter::~AtomicFileWriter() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
    if (!committed_) {
        std::error_code ec;
        fs::remove(fs::path(temporary_), ec);
    }
}

bool AtomicFileWriter::Write(std::span<const std::uint8_t> data) {
    ok_ = ok_ && std::fwrite(data.data(), 1, data.size(), file_) == data.size();
    return ok_;
}

bool AtomicFileWriter::Commit() {
    if (file_ == nullptr) {
        return false;
    }
    ok_ = (std::fflush(file_) == 0) && ok_;
    ok_ = (std::fclose(file_) == 0) && ok_;
    file_ = nullptr;
    if (!ok_) {
        return false;
    }
    std::error_code ec;
    fs::rename(fs::path(temporary_), fs::path(path_), ec);
    committed_ = !ec;
    ok_ = committed_;
    return ok_;
}

bool WriteFilePiecesAtomically(const std::string& path, std::span<const std::span<const std::uint8_t>> pieces) {
    const std::string temporary = TemporaryNameFor(path);
    bool ok = true;
    {
        FilePtr file(std::fopen(temporary.c_str(), "wb"));
        if (!file) {
            return false;
        }
        for (const auto& piece : pieces) {
            ok = ok && std::fwrite(piece.data(), 1, piece.size(), file.get()) == piece.size();
        }
        ok = (std::fflush(file.get()) == 0) && ok;
        std::FILE* raw = file.release();
        ok = (std::fclose(raw) == 0) && ok;
    }
    std::error_code ec;
    if (ok) {
        fs::rename(fs::path(temporary), fs::path(path), ec);
        ok = !ec;
    }
    if (!ok) {
        fs::remove(fs::path(temporary), ec);
    }
    return ok;
}

bool WriteFileAtomically(const std::string& path, const std::string& text) {
    return WriteFileAtomically(
        path, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::optional<std::vector<std::string>> ListDirectory(const std::string& path) {
    std::error_code ec;
    fs::directory_iterator it(fs::path(path), ec);
    if (ec) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    if (ec) {
        return std::nullopt;
    }
    return names;
}

std::optional<FileStamp> StatFile(const std::string& path) {
    std::error_code ec;
    const fs::path p(path);
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
}

bool StandardErrorIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

bool OpenWithDefaultViewer(const std::string& path) {
#ifdef _WIN32
    const auto result = reinterpret_cast<std::intptr_t>(
        ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED));
    return result > 32;
#else
#ifdef __APPLE__
    const char* opener = "open";
#else
    const char* opener = "xdg-open";
#endif
    // Spawned without a shell, so no character of the path is ever interpreted.
    std::string program(opener);
    std::string argument(path);
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, opener, nullptr, nullptr, argv, environ) != 0) {
        return false;
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) {
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
#endif
}

}  // namespace velmorant::core
