#include "volume/Summary.h"

#include "core/Text.h"

namespace velmorant::volume {
namespace {

std::int64_t FileKb(std::int64_t bytes) {
    return (bytes < 0 ? 0 : bytes) / 1024 + 1;
}

}  // namespace

std::int32_t ComputeProgramSizeKb(const ProgramRecord& record) {
    std::int64_t kb = FileKb(record.fileSize);
    for (const DependencyRecord& dependency : record.dependencies) {
        kb += FileKb(dependency.fileSize);
        for (const DependencyRecord& sample : dependency.samples) {
            if (!sample.duplicate) {
                kb += FileKb(sample.fileSize);
            }
        }
    }
    return static_cast<std::int32_t>(std::min<std::int64_t>(kb, INT32_MAX));
}

int BuildProgramSummary(ProgramRecord& record) {
    int dependencyNumber = 0;
    for (const DependencyRecord& dependency : record.dependencies) {
        if (!dependency.duplicate) {
            ++dependencyNumber;
        }
    }
    record.summary = core::Format(
        "Type : %s\r\nCategories : %s\r\nSize : %i Kb\r\nNb Dependencies : %i\r\nChunks : %i Mods, %i "
        "Enveloppes,%i LFO, %i Patterns\r\n",
        ProgramTypeName(record.type), record.categories.c_str(), ComputeProgramSizeKb(record), dependencyNumber,
        record.chunkCounts[0], record.chunkCounts[1], record.chunkCounts[2], record.chunkCounts[3]);
    return 0;
}

}  // namespace velmorant::volume
