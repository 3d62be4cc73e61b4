#include "volume/ProgramFile.h"

#include <cstring>

#include "core/Bytes.h"
#include "core/File.h"
#include "core/FileNames.h"
#include "core/Path.h"
#include "core/Text.h"

namespace velmorant::volume {
namespace {

constexpr char kProgramMagic[4] = {'S', '8', '0', 'p'};

bool HasProgramMagic(const std::vector<std::uint8_t>& head, ProgramTag& tag) {
    const core::ByteReader reader(head);
    const auto magic = reader.fixedText(0, 4);
    const auto tagText = reader.fixedText(12, 4);
    if (!magic || !tagText || std::memcmp(magic->data(), kProgramMagic, 4) != 0) {
        return false;
    }
    std::memcpy(tag.data(), tagText->data(), 4);
    return true;
}

}  // namespace

HeaderResult ReadProgramHeader(const std::string& path) {
    HeaderResult result;
    const auto head = core::ReadFileHead(path, 16);
    if (!head) {
        result.code = -3;
        return result;
    }
    result.code = HasProgramMagic(*head, result.tag) ? 0 : -4;
    return result;
}

std::int32_t ProgramTypeFromTag(const ProgramTag& tag) {
    static const struct {
        const char* tag;
        std::int32_t type;
    } kTags[] = {{"mpsa", kTypeSamples}, {"umdr", kTypeDrums}, {"  fm", kTypeFm},
                 {"utfl", kTypeWind},    {"arcl", kTypeReed},  {"ogal", kTypeVa}};
    for (const auto& entry : kTags) {
        if (std::memcmp(tag.data(), entry.tag, 4) == 0) {
            return entry.type;
        }
    }
    return kTypeUnknown;
}

bool ReadChunkCounts(std::span<const std::uint8_t> file, ChunkCounts& counts) {
    const core::ByteReader reader(file);
    const auto m = reader.u16be(34);
    const auto e = reader.u16be(36);
    const auto l = reader.u16be(38);
    const auto p = reader.u16be(51);
    if (!m || !e || !l || !p) {
        return false;
    }
    counts.mods = *m;
    counts.envelopes = *e;
    counts.lfos = *l;
    counts.patterns = *p;
    return true;
}

int LoadProgramFile(ProgramRecord& record, const std::string& path, const ProgramTag& tag) {
    record.dependencies.clear();
    record.sourcePath = path;
    AppendLog(record, core::Format("Load Program Program %s\n", path.c_str()));
    record.fileSize = core::FileSize(path);
    record.programName = core::CutText(core::NameFromFileName(core::PathBaseName(path)), kMaxProgramNameLength);
    record.defined = 1;
    record.type = ProgramTypeFromTag(tag);
    // Counts are taken for every type so the summary of an FM or VA program is right too.
    record.chunkCounts = {0, 0, 0, 0};
    if (const auto head = core::ReadFileHead(path, kMinCountsHeader)) {
        ChunkCounts counts;
        if (ReadChunkCounts(*head, counts)) {
            record.chunkCounts = {counts.mods, counts.envelopes, counts.lfos, counts.patterns};
        }
    }
    return 0;
}

int ProbeProgramFile(ProgramProbe& entry, const std::string& path) {
    const auto head = core::ReadFileHead(path, 16);
    ProgramTag tag{};
    if (!head || !HasProgramMagic(*head, tag)) {
        return -4;
    }
    entry.path = path;
    entry.type = ProgramTypeFromTag(tag);
    return 1;
}

}  // namespace velmorant::volume
