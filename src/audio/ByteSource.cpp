#include "audio/ByteSource.h"

#include "core/File.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace velmorant::audio {

std::size_t MemorySource::read(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset >= bytes_.size()) {
        return 0;
    }
    const auto from = bytes_.subspan(static_cast<std::size_t>(offset));
    const std::size_t n = std::min(out.size(), from.size());
    std::memcpy(out.data(), from.data(), n);
    return n;
}

std::unique_ptr<FileSource> FileSource::Open(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path p = core::NativePath(path);
    if (!std::filesystem::is_regular_file(p, ec)) {
        return nullptr;
    }
    const std::uint64_t size = std::filesystem::file_size(p, ec);
    if (ec) {
        return nullptr;
    }
    std::ifstream stream(p, std::ios::binary);
    if (!stream) {
        return nullptr;
    }
    return std::unique_ptr<FileSource>(new FileSource(std::move(stream), size));
}

std::size_t FileSource::read(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset >= size_ || out.empty()) {
        return 0;
    }
    stream_.clear();
    stream_.seekg(static_cast<std::streamoff>(offset));
    const auto want = static_cast<std::streamsize>(std::min<std::uint64_t>(out.size(), size_ - offset));
    stream_.read(reinterpret_cast<char*>(out.data()), want);
    return static_cast<std::size_t>(std::max<std::streamsize>(stream_.gcount(), 0));
}

}  // namespace velmorant::audio
