#include "core/FileSource.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/Checksum.h"
#include "core/Path.h"

namespace velmorant::core {
namespace {

class Disk final : public FileSource {
public:
    std::optional<FileStamp> Stat(const std::string& path) override { return StatFile(path); }
    bool IsDirectory(const std::string& path) override { return DirectoryExists(path); }
    bool IsReadable(const std::string& path) override { return FileExists(path); }
    bool Exists(const std::string& path) override {
        std::error_code ec;
        return std::filesystem::exists(NativePath(path), ec);
    }
    std::optional<std::vector<std::string>> List(const std::string& folder) override { return ListDirectory(folder); }
    std::optional<std::vector<std::uint8_t>> ReadHead(const std::string& path, std::size_t n) override {
        return ReadFileHead(path, n);
    }
    std::optional<std::vector<std::uint8_t>> ReadWhole(const std::string& path, std::uint64_t maxBytes) override {
        return ReadWholeFile(path, maxBytes);
    }
    std::uint32_t Crc32(const std::string& path) override { return FileCrc32(path); }
    std::optional<StampedCrc32> Crc32WithStamp(const std::string& path) override { return FileCrc32Stamped(path); }
    std::optional<HeadAndCrc32> ReadHeadAndCrc32(const std::string& path, std::size_t n) override {
        return FileHeadAndCrc32(path, n);
    }
};

}  // namespace

std::optional<StampedCrc32> FileSource::Crc32WithStamp(const std::string& path) {
    const auto before = Stat(path);
    if (!before) {
        return std::nullopt;
    }
    StampedCrc32 result{*before, Crc32(path), false};
    result.steady = Stat(path) == before;
    return result;
}

std::optional<HeadAndCrc32> FileSource::ReadHeadAndCrc32(const std::string& path, std::size_t n) {
    const auto before = Stat(path);
    auto head = before ? ReadHead(path, n) : std::nullopt;
    auto checksum = head ? Crc32WithStamp(path) : std::nullopt;
    if (!checksum) {
        return std::nullopt;
    }
    // The head belongs to the checksummed file only when nothing changed since before it.
    checksum->steady = checksum->steady && checksum->stamp == *before;
    return HeadAndCrc32{std::move(*head), *checksum};
}

FileSource& DiskFiles() {
    static Disk disk;
    return disk;
}

void MemoryFiles::Add(const std::string& path, std::span<const std::uint8_t> bytes) {
    files_[path] = Held{std::vector<std::uint8_t>(bytes.begin(), bytes.end()), ++generation_};
}

std::optional<FileStamp> MemoryFiles::Stat(const std::string& path) {
    const auto it = files_.find(path);
    if (it == files_.end()) {
        return std::nullopt;
    }
    return FileStamp{static_cast<std::int64_t>(it->second.bytes.size()), it->second.generation};
}

bool MemoryFiles::IsDirectory(const std::string& path) {
    const std::string prefix = path + kNativeSeparator;
    const auto it = files_.lower_bound(prefix);
    return it != files_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

std::optional<std::vector<std::string>> MemoryFiles::List(const std::string& folder) {
    if (!IsDirectory(folder)) {
        return std::nullopt;
    }
    const std::string prefix = folder + kNativeSeparator;
    std::vector<std::string> names;
    for (auto it = files_.lower_bound(prefix); it != files_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
         ++it) {
        const std::string rest = it->first.substr(prefix.size());
        std::string name = rest.substr(0, rest.find(kNativeSeparator));
        if (names.empty() || names.back() != name) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

std::optional<std::vector<std::uint8_t>> MemoryFiles::ReadHead(const std::string& path, std::size_t n) {
    const auto it = files_.find(path);
    if (it == files_.end()) {
        return std::nullopt;
    }
    const auto& bytes = it->second.bytes;
    return std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(n, bytes.size())));
}

std::optional<std::vector<std::uint8_t>> MemoryFiles::ReadWhole(const std::string& path, std::uint64_t maxBytes) {
    const auto it = files_.find(path);
    if (it == files_.end() || it->second.bytes.size() > maxBytes) {
        return std::nullopt;
    }
    return it->second.bytes;
}

std::uint32_t MemoryFiles::Crc32(const std::string& path) {
    const auto it = files_.find(path);
    return it == files_.end() ? 0xFFFFFFFFu : Crc32Update(0, it->second.bytes);
}

}  // namespace velmorant::core
