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
    std::ifstream stream;
    stream.rdbuf()->pubsetbuf(nullptr, 0);  // the source's own buffer is the only one
    stream.open(p, std::ios::binary);
    if (!stream) {
        return nullptr;
    }
    return std::unique_ptr<FileSource>(new FileSource(std::move(stream), size));
}

std::size_t FileSource::fetch(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset != streamAt_) {
        stream_.clear();
        stream_.seekg(static_cast<std::streamoff>(offset));
    }
    stream_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
    const auto got = static_cast<std::size_t>(std::max<std::streamsize>(stream_.gcount(), 0));
    // After a short read the stream's position is unknown until the next seek.
    streamAt_ = got == out.size() ? offset + got : ~std::uint64_t{0};
    return got;
}

std::size_t FileSource::read(std::uint64_t offset, std::span<std::uint8_t> out) {
    constexpr std::size_t kBufferBytes = 256 * 1024;
    if (offset >= size_ || out.empty()) {
        return 0;
    }
    out = out.first(static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), size_ - offset)));
    std::size_t done = 0;
    while (done < out.size()) {
        const std::uint64_t at = offset + done;
        if (at >= bufferAt_ && at < bufferAt_ + buffer_.size()) {
            const auto from = std::span<const std::uint8_t>(buffer_).subspan(static_cast<std::size_t>(at - bufferAt_));
            const std::size_t n = std::min(from.size(), out.size() - done);
            std::memcpy(out.data() + done, from.data(), n);
            done += n;
            continue;
        }
        if (out.size() - done >= kBufferBytes) {
            return done + fetch(at, out.subspan(done));
        }
        buffer_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kBufferBytes, size_ - at)));
        bufferAt_ = at;
        buffer_.resize(fetch(at, buffer_));
        if (buffer_.empty()) {
            break;
        }
    }
    return done;
}

}  // namespace velmorant::audio
