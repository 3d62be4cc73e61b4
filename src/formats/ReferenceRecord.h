#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/Bytes.h"

namespace velmorant::formats {

// The 64-byte record by which a program names a multisample or sample, and a multisample
// names a sample: three fixed-width text fields, each 16-bit unit stored with its two
// bytes exchanged.
inline constexpr std::size_t kReferenceSize = 64;
inline constexpr std::size_t kReferenceLocationOffset = 0;
inline constexpr std::size_t kReferenceLocationWidth = 16;
inline constexpr std::size_t kReferenceFolderOffset = 16;
inline constexpr std::size_t kReferenceFolderWidth = 16;
inline constexpr std::size_t kReferenceNameOffset = 32;
inline constexpr std::size_t kReferenceNameWidth = 32;
// Character 7 of the location text carries the volume digit ("Local 1").
inline constexpr std::size_t kReferenceVolumeDigit = 7;
// A blank location means the volume of the referencing file.
inline constexpr std::int32_t kSameVolume = 3;

using StoredReference = std::span<const std::uint8_t, kReferenceSize>;

// Where the volume number of a reference comes from.
enum class VolumeRule {
    kProgram,      // references inside a program file: the stored byte 7, read as a digit
    kMultisample,  // sample references inside a multisample: character 7, blank means the parent's
};

// The three fields as text (Windows-1252 bytes as stored, zero bytes read as blanks,
// trailing blanks dropped) and the volume number they give.
struct Reference {
    std::string location;
    std::string folder;
    std::string name;
    std::int32_t volumeNumber = 0;
};

Reference DecodeReference(StoredReference stored, VolumeRule rule, std::int32_t parentVolume);

// The record holding the three texts, each cut or padded with `pad` to its width.
std::array<std::uint8_t, kReferenceSize> EncodeReference(std::string_view location, std::string_view folder,
                                                         std::string_view name, char pad = ' ');

// How the export rewrites a record so it names a copy: the location always cleared (the
// copy lies on the referencing file's volume); the folder cleared when absent; the name
// kept as it is when absent. Texts are zero padded.
struct ReferenceRewrite {
    std::optional<std::string> folder;
    std::optional<std::string> name;
};

enum class ReferenceResult {
    kDone,
    kOutsideFile,  // the record would not lie inside the file
};

ReferenceResult RewriteReference(core::ByteWriter& writer, std::size_t recordOffset,
                                 const ReferenceRewrite& rewrite);

// Zeroes the record, or the part of it that lies inside the file (a stale reference
// in an oscillator that plays nothing).
void ClearReference(core::ByteWriter& writer, std::size_t recordOffset);

// The message of a result, naming the file and the record's offset.
std::string ReferenceMessage(ReferenceResult result, std::string_view path, std::int64_t recordOffset);

}  // namespace velmorant::formats
