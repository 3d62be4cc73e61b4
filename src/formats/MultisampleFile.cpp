#include "formats/MultisampleFile.h"

#include "core/AtomicWrite.h"
#include "core/Bytes.h"
#include "core/File.h"
#include "core/Text.h"

namespace velmorant::formats {
namespace {

// Fields every zone the instrument writes carries.
constexpr std::size_t kEntryZoneFlag = 73;
constexpr std::uint8_t kZoneFlag = 0x80;
constexpr std::size_t kEntryGain = 78;
constexpr std::uint32_t kGain = 0x3F800000u;  // 1.0f
constexpr std::size_t kEntryPan = 82;
constexpr std::uint32_t kPan = 0x3F000000u;  // 0.5f

}  // namespace

MultisampleContents ReadMultisample(std::span<const std::uint8_t> file) {
    MultisampleContents contents;
    const core::ByteReader reader(file);
    const auto count = reader.u8(kMultisampleCountOffset);
    if (!count) {
        contents.result = MultisampleResult::kNoCount;
        contents.problemOffset = kMultisampleCountOffset;
        return contents;
    }
    contents.declaredCount = *count;
    for (std::size_t i = 0; i < contents.declaredCount; ++i) {
        const std::size_t entry = MultisampleEntryOffset(i);
        const auto stored = reader.bytes(entry + kEntryReference, kReferenceSize);
        if (!stored) {
            contents.result = MultisampleResult::kEntryPastEnd;
            contents.problemOffset = entry;
            break;
        }
        contents.entries.push_back({entry, StoredReference(stored->data(), kReferenceSize)});
    }
    return contents;
}

MultisampleResult BuildMultisample(std::span<const MultisampleZoneEntry> zones, std::vector<std::uint8_t>& file) {
    file.clear();
    if (zones.size() > kMultisampleMaxEntries) {
        return MultisampleResult::kTooManyEntries;
    }
    file.assign(MultisampleEntryOffset(zones.size()), 0);
    core::ByteWriter writer(file);
    writer.fixedText(0, kMultisampleMagic, 4, '\0');
    writer.u32be(kMultisampleSizeOffset, static_cast<std::uint32_t>(file.size() - 8));
    writer.u8(kMultisampleCountOffset, static_cast<std::uint8_t>(zones.size()));
    for (std::size_t i = 0; i < zones.size(); ++i) {
        const MultisampleZoneEntry& zone = zones[i];
        const std::size_t at = MultisampleEntryOffset(i);
        writer.u8(at + kEntryRightKey, zone.rightKey);
        writer.u8(at + kEntryLeftKey, zone.leftKey);
        writer.u8(at + kEntryVelocityHigh, zone.velocityHigh);
        writer.u8(at + kEntryVelocityLow, zone.velocityLow);
        writer.bytes(at + kEntryReference, zone.reference);
        writer.u8(at + kEntryZoneFlag, kZoneFlag);
        writer.u8(at + kEntryRootKey, zone.rootKey);
        writer.u32be(at + kEntryGain, kGain);
        writer.u32be(at + kEntryPan, kPan);
    }
    return MultisampleResult::kDone;
}

MultisampleResult WriteMultisample(std::span<const MultisampleZoneEntry> zones, const std::string& path) {
    std::vector<std::uint8_t> file;
    const MultisampleResult built = BuildMultisample(zones, file);
    if (built != MultisampleResult::kDone) {
        return built;
    }
    return core::WriteFileAtomically(path, file) ? MultisampleResult::kDone : MultisampleResult::kCannotWrite;
}

std::string MultisampleMessage(MultisampleResult result, std::string_view path, std::size_t offset) {
    const std::string file(path);
    switch (result) {
        case MultisampleResult::kDone:
            return {};
        case MultisampleResult::kNoCount:
            return core::Format("%s: offset %zu (entry count): the file ends before it", file.c_str(), offset);
        case MultisampleResult::kEntryPastEnd:
            return core::Format("%s: offset %zu (sample entry): the file ends inside the entry", file.c_str(),
                                offset);
        case MultisampleResult::kTooManyEntries:
            return core::Format("%s: offset %zu (entry count): more than %zu zones", file.c_str(),
                                kMultisampleCountOffset, kMultisampleMaxEntries);
        case MultisampleResult::kCannotWrite:
            return core::Format("%s: cannot be written", file.c_str());
    }
    return {};
}

}  // namespace velmorant::formats
