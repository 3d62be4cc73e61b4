#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>

#include "core/File.h"

namespace velmorant::core {

// CRC-32 (IEEE 802.3, reflected, preset and result complemented).
std::uint32_t Crc32Update(std::uint32_t crc, std::span<const std::uint8_t> data);
// CRC-32 of the rest of the stream, or 0xFFFFFFFF on a read error.
std::uint32_t StreamCrc32(std::FILE* stream);
// CRC-32 of the whole file, or 0xFFFFFFFF when it cannot be opened.
std::uint32_t FileCrc32(const std::string& path);
// A file's CRC-32 with its stamp when the read began; `steady` when it had not changed by the
// end, so the checksum is the file's at that stamp.
struct StampedCrc32 {
    FileStamp stamp;
    std::uint32_t crc = 0xFFFFFFFFu;
    bool steady = false;
};
// One open for both; nullopt when the file cannot be opened.
std::optional<StampedCrc32> FileCrc32Stamped(const std::string& path);
// 1 when both files have the same size and the same CRC-32, else 0.
int FilesEqual(const std::string& a, const std::string& b);

}  // namespace velmorant::core
