#include "volume/ProgramFile.h"

#include <cstring>

#include "core/File.h"
#include "core/FileNames.h"
#include "core/Path.h"
#include "core/Text.h"

namespace velmorant::volume {

std::int32_t ProgramTypeFromTag(const formats::ProgramTag& tag) {
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

void LoadProgramFile(ProgramRecord& record, const std::string& path, const formats::ProgramTag& tag,
                     core::FileSource& files) {
    record.dependencies.clear();
    record.sourcePath = path;
    AppendLog(record, core::Format("Load Program Program %s\n", path.c_str()));
    const auto stamp = files.Stat(path);
    record.fileSize = stamp ? stamp->size : 0;
    record.programName = core::CutText(core::NameFromFileName(core::PathBaseName(path)), kMaxProgramNameLength);
    record.defined = true;
    record.type = ProgramTypeFromTag(tag);
    // Counts are taken for every type so the summary of an FM or VA program is right too.
    record.chunkCounts = {0, 0, 0, 0};
    if (const auto head = files.ReadHead(path, formats::kProgramCountsSize)) {
        if (const auto counts = formats::ReadChunkCounts(*head)) {
            record.chunkCounts = {counts->mods, counts->envelopes, counts->lfos, counts->patterns};
        }
    }
}

bool ProbeProgramFile(ProgramProbe& entry, const std::string& path) {
    const formats::ProgramHead head = formats::ReadProgramHeadFile(path);
    if (head.result != formats::ProgramResult::kRead) {
        return false;
    }
    entry.path = path;
    entry.type = ProgramTypeFromTag(head.tag);
    return true;
}

}  // namespace velmorant::volume
