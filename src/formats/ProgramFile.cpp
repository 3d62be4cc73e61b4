#include "formats/ProgramFile.h"

#include <cstring>

#include "core/Bytes.h"
#include "core/File.h"
#include "core/Text.h"

namespace velmorant::formats {

ProgramHead ReadProgramHead(std::span<const std::uint8_t> head) {
    ProgramHead result;
    const core::ByteReader reader(head);
    const auto magic = reader.fixedText(0, 4);
    const auto tag = reader.fixedText(kProgramTagOffset, 4);
    if (!magic || !tag || std::memcmp(magic->data(), kProgramMagic, 4) != 0) {
        result.result = ProgramResult::kNotAProgram;
        return result;
    }
    std::memcpy(result.tag.data(), tag->data(), 4);
    return result;
}

ProgramHead ReadProgramHeadFile(const std::string& path, core::FileSource& files) {
    const auto head = files.ReadHead(path, kProgramHeadSize);
    if (!head) {
        return ProgramHead{ProgramResult::kCannotOpen, {}};
    }
    return ReadProgramHead(*head);
}

std::optional<ChunkCounts> ReadChunkCounts(std::span<const std::uint8_t> file) {
    const core::ByteReader reader(file);
    const auto m = reader.u16be(kModsCountOffset);
    const auto e = reader.u16be(kEnvelopesCountOffset);
    const auto l = reader.u16be(kLfosCountOffset);
    const auto p = reader.u16be(kPatternsCountOffset);
    if (!m || !e || !l || !p) {
        return std::nullopt;
    }
    return ChunkCounts{*m, *e, *l, *p};
}

namespace {

std::optional<ReferenceSite> SiteAt(const core::ByteReader& reader, std::uint64_t site, std::size_t enable,
                                    std::size_t record) {
    const auto flag = reader.u8(site + enable);
    if (!flag) {
        return std::nullopt;
    }
    ReferenceSite result;
    result.siteOffset = site;
    result.recordOffset = site + record;
    result.enabled = *flag == 1;
    if (const auto stored = reader.bytes(result.recordOffset, kReferenceSize)) {
        result.reference = StoredReference(stored->data(), kReferenceSize);
    }
    return result;
}

}  // namespace

std::vector<ReferenceSite> OscillatorSites(std::span<const std::uint8_t> file, const ChunkCounts& counts) {
    const core::ByteReader reader(file);
    std::vector<ReferenceSite> sites;
    for (std::size_t n = 0; n < kOscillators; ++n) {
        if (auto site = SiteAt(reader, OscillatorBlockOffset(counts, n), kOscillatorEnable, kOscillatorReference)) {
            sites.push_back(*site);
        }
    }
    return sites;
}

std::vector<ReferenceSite> DrumZoneSites(std::span<const std::uint8_t> file, const ChunkCounts& counts) {
    const core::ByteReader reader(file);
    std::vector<ReferenceSite> sites;
    for (std::size_t k = 0; k < kDrumOscillators; ++k) {
        for (std::size_t z = 0; z < kDrumZonesPerOscillator; ++z) {
            auto site = SiteAt(reader, DrumZoneOffsetIn(counts, k, z), kDrumZoneEnabled, kDrumZoneReference);
            if (site && site->reference) {
                sites.push_back(*site);
            }
        }
    }
    return sites;
}

std::vector<std::uint8_t> BuildProgramSkeleton(const ProgramTag& tag, const ChunkCounts& counts) {
    std::size_t voiceArea = 0;
    if (tag == kSampleProgramTag) {
        voiceArea = kOscillatorBlockOffsets[kOscillators - 1] + kOscillatorBlockSize;
    } else if (tag == kDrumProgramTag) {
        voiceArea = kDrumOscillators * kDrumOscillatorSize;
    }
    std::vector<std::uint8_t> bytes(counts.voiceAreaOffset() + voiceArea, 0);
    core::ByteWriter writer(bytes);
    writer.fixedText(0, kProgramMagic, 4, ' ');
    writer.u32be(kProgramSizeOffset, static_cast<std::uint32_t>(bytes.size() - 8));
    writer.fixedText(kProgramTagOffset, std::string_view(tag.data(), tag.size()), 4, ' ');
    writer.u16be(kModsCountOffset, counts.mods);
    writer.u16be(kEnvelopesCountOffset, counts.envelopes);
    writer.u16be(kLfosCountOffset, counts.lfos);
    writer.u16be(kPatternsCountOffset, counts.patterns);
    return bytes;
}

std::string ProgramMessage(ProgramResult result, std::string_view path) {
    const std::string file(path);
    switch (result) {
        case ProgramResult::kRead:
            return {};
        case ProgramResult::kCannotOpen:
            return core::Format("%s: cannot be opened", file.c_str());
        case ProgramResult::kNotAProgram:
            return core::Format("%s: offset 0 (magic): not \"%s\", or shorter than %zu bytes", file.c_str(),
                                kProgramMagic, kProgramHeadSize);
        case ProgramResult::kNoCounts:
            return core::Format("%s: offset %zu (chunk counts): the file ends before them", file.c_str(),
                                kModsCountOffset);
    }
    return {};
}

}  // namespace velmorant::formats
