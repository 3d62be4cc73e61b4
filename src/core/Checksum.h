#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

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
// The first n bytes (fewer when the file is shorter) and the checksum of the whole file, from
// one open and one pass: a caller that checks a file's head and shows its checksum reads it once.
struct HeadAndCrc32 {
    std::vector<std::uint8_t> head;
    StampedCrc32 checksum;
};
std::optional<HeadAndCrc32> FileHeadAndCrc32(const std::string& path, std::size_t n);
// 1 when both files have the same size and the same CRC-32, else 0.
int FilesEqual(const std::string& a, const std::string& b);

}  // namespace velmorant::core
