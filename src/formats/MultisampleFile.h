#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/ReferenceRecord.h"

namespace velmorant::formats {

// Multisample file (.afi): a 20-byte header whose byte 17 counts the entries, then one
// 100-byte entry per sample zone; each entry holds the zone's keys and a reference record.
inline constexpr char kMultisampleMagic[] = "S80i";
inline constexpr std::size_t kMultisampleSizeOffset = 4;  // file size minus 8
inline constexpr std::size_t kMultisampleCountOffset = 17;
inline constexpr std::size_t kMultisampleHeaderSize = 20;
inline constexpr std::size_t kMultisampleEntrySize = 100;
inline constexpr std::size_t kMultisampleMaxEntries = 255;  // the count is one byte
// Within an entry.
inline constexpr std::size_t kEntryRightKey = 0;
inline constexpr std::size_t kEntryLeftKey = 1;
inline constexpr std::size_t kEntryVelocityHigh = 2;
inline constexpr std::size_t kEntryVelocityLow = 3;
inline constexpr std::size_t kEntryReference = 8;
inline constexpr std::size_t kEntryRootKey = 74;

constexpr std::size_t MultisampleEntryOffset(std::size_t index) {
    return kMultisampleHeaderSize + kMultisampleEntrySize * index;
}

enum class MultisampleResult {
    kDone,
    kNoCount,         // shorter than the count byte
    kEntryPastEnd,    // the count names more entries than the file holds
    kTooManyEntries,  // more than the count byte can hold
    kCannotWrite,
};

// One entry as read: its offset in the file and its stored reference record.
struct MultisampleEntryView {
    std::size_t offset = 0;
    StoredReference reference;
};

// What the reader found. The entries that lie inside the file are always listed, so a
// truncated file yields what it holds; `result` and `problemOffset` say what was missing.
struct MultisampleContents {
    MultisampleResult result = MultisampleResult::kDone;
    std::size_t declaredCount = 0;
    std::vector<MultisampleEntryView> entries;  // views into the bytes given to the reader
    std::size_t problemOffset = 0;
};

MultisampleContents ReadMultisample(std::span<const std::uint8_t> file);

// One zone as written.
struct MultisampleZoneEntry {
    std::uint8_t rightKey = 127;  // highest key of the zone
    std::uint8_t leftKey = 0;     // lowest key
    std::uint8_t velocityHigh = 127;
    std::uint8_t velocityLow = 0;
    std::uint8_t rootKey = 60;
    std::array<std::uint8_t, kReferenceSize> reference{};  // as stored
};

// The file's bytes; kTooManyEntries leaves `file` empty.
MultisampleResult BuildMultisample(std::span<const MultisampleZoneEntry> zones, std::vector<std::uint8_t>& file);
// Builds and writes atomically.
MultisampleResult WriteMultisample(std::span<const MultisampleZoneEntry> zones, const std::string& path);

// The message of a result, naming the file, the offset and the field.
std::string MultisampleMessage(MultisampleResult result, std::string_view path, std::size_t offset = 0);

}  // namespace velmorant::formats
