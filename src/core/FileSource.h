#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/Checksum.h"
#include "core/File.h"

namespace velmorant::core {

// Where the loaders read a volume's files from: the disk, or memory (tests and fuzz
// harnesses load whole volumes without writing a file).
class FileSource {
public:
    virtual ~FileSource() = default;
    // A regular file's size and stamp; nullopt when there is none.
    virtual std::optional<FileStamp> Stat(const std::string& path) = 0;
    virtual bool IsDirectory(const std::string& path) = 0;
    // True when anything (file or folder) lies at the path.
    virtual bool Exists(const std::string& path) = 0;
    // The names in a folder; nullopt when it cannot be listed.
    virtual std::optional<std::vector<std::string>> List(const std::string& folder) = 0;
    // True when the regular file opens for reading.
    virtual bool IsReadable(const std::string& path) = 0;
    // The first n bytes (fewer when the file is shorter).
    virtual std::optional<std::vector<std::uint8_t>> ReadHead(const std::string& path, std::size_t n) = 0;
    // The whole file; nullopt when it cannot be read or holds more than maxBytes.
    virtual std::optional<std::vector<std::uint8_t>> ReadWhole(const std::string& path, std::uint64_t maxBytes) = 0;
    // CRC-32 of the whole file, or 0xFFFFFFFF when it cannot be read.
    virtual std::uint32_t Crc32(const std::string& path) = 0;
    // The CRC-32 with the file's stamp, which a cache keeps it under; nullopt when the file
    // is not there.
    virtual std::optional<StampedCrc32> Crc32WithStamp(const std::string& path);
    // The first n bytes with the stamped CRC-32 of the whole file; nullopt when it is not there.
    virtual std::optional<HeadAndCrc32> ReadHeadAndCrc32(const std::string& path, std::size_t n);
};

// The real file system.
FileSource& DiskFiles();

// Files held in memory under their full paths; every folder above a file exists.
class MemoryFiles final : public FileSource {
public:
    void Add(const std::string& path, std::span<const std::uint8_t> bytes);
    void Clear() { files_.clear(); }

    std::optional<FileStamp> Stat(const std::string& path) override;
    bool IsDirectory(const std::string& path) override;
    bool Exists(const std::string& path) override { return files_.count(path) != 0 || IsDirectory(path); }
    std::optional<std::vector<std::string>> List(const std::string& folder) override;
    bool IsReadable(const std::string& path) override { return files_.count(path) != 0; }
    std::optional<std::vector<std::uint8_t>> ReadHead(const std::string& path, std::size_t n) override;
    std::optional<std::vector<std::uint8_t>> ReadWhole(const std::string& path, std::uint64_t maxBytes) override;
    std::uint32_t Crc32(const std::string& path) override;

private:
    struct Held {
        std::vector<std::uint8_t> bytes;
        std::int64_t generation = 0;  // the stamp: changes with every Add
    };
    std::map<std::string, Held> files_;
    std::int64_t generation_ = 0;
};

}  // namespace velmorant::core
