#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/FileSource.h"

namespace velmorant::doctor {

// A file the inventory met: its stamp, and whether its bytes are worth keeping once read
// (a multisample is read by every program that plays it).
struct InventoryFile {
    core::FileStamp stamp;
    bool keep = false;
};
using Inventory = std::unordered_map<std::string, InventoryFile>;

// The volume as one walk of the check sees it: stamps from the inventory, every other look
// and every listing remembered, multisamples read once, and the program being loaded read
// once for its head, counts and references. A file that changes during the check is seen
// as it was first met. One per thread; the inventory is shared and read only.
class VolumeSnapshot final : public core::FileSource {
public:
    explicit VolumeSnapshot(const Inventory& inventory, core::FileSource& disk = core::DiskFiles())
        : inventory_(inventory), disk_(disk) {}

    std::optional<core::FileStamp> Stat(const std::string& path) override;
    bool IsDirectory(const std::string& path) override;
    bool Exists(const std::string& path) override;
    std::optional<std::vector<std::string>> List(const std::string& folder) override;
    bool IsReadable(const std::string& path) override;
    std::optional<std::vector<std::uint8_t>> ReadHead(const std::string& path, std::size_t n) override;
    std::optional<std::vector<std::uint8_t>> ReadWhole(const std::string& path, std::uint64_t maxBytes) override;
    std::uint32_t Crc32(const std::string& path) override { return disk_.Crc32(path); }
    std::optional<core::StampedCrc32> Crc32WithStamp(const std::string& path) override {
        return disk_.Crc32WithStamp(path);
    }

private:
    using Bytes = std::shared_ptr<const std::vector<std::uint8_t>>;
    // The whole file, read once, when it is small enough to hold; null when it is not a
    // regular file; nullopt when it is too large or the read failed (the disk is asked then).
    std::optional<Bytes> Held(const std::string& path);

    const Inventory& inventory_;
    core::FileSource& disk_;
    std::unordered_map<std::string, std::optional<core::FileStamp>> stats_;
    std::unordered_map<std::string, bool> directories_;
    std::unordered_map<std::string, bool> exists_;
    std::unordered_map<std::string, bool> readable_;
    std::unordered_map<std::string, std::optional<std::vector<std::string>>> lists_;
    std::unordered_map<std::string, Bytes> kept_;
    std::uint64_t keptBytes_ = 0;
    std::string recentPath_;  // the last other file read whole
    Bytes recent_;
};

}  // namespace velmorant::doctor
