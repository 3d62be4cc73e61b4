#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace velmorant::audio {

// Random access to the bytes of one audio file. The decoder and the chunk reader share it, so
// a file on disk and a buffer in memory (the fuzzer's) take exactly the same path.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Copies up to out.size() bytes from offset; fewer at the end of the file or on a read error.
    virtual std::size_t read(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    std::size_t read(std::uint64_t offset, std::span<std::uint8_t> out) override;

private:
    std::span<const std::uint8_t> bytes_;
};

// Reads through a buffer of its own: the decoder asks for a few kilobytes at a time, each
// of which would otherwise be a seek and a read of the system.
class FileSource final : public ByteSource {
public:
    // nullptr when the path is no regular file or cannot be opened for reading.
    static std::unique_ptr<FileSource> Open(const std::string& path);
    std::uint64_t size() const override { return size_; }
    std::size_t read(std::uint64_t offset, std::span<std::uint8_t> out) override;

private:
    FileSource(std::ifstream stream, std::uint64_t size) : stream_(std::move(stream)), size_(size) {}
    // Reads at `offset` straight into `out`; answers the bytes read.
    std::size_t fetch(std::uint64_t offset, std::span<std::uint8_t> out);

    std::ifstream stream_;
    std::uint64_t size_;
    std::uint64_t streamAt_ = 0;  // where the stream stands, so that reading on needs no seek
    std::vector<std::uint8_t> buffer_;
    std::uint64_t bufferAt_ = 0;  // the offset of buffer_[0]
};

}  // namespace velmorant::audio
