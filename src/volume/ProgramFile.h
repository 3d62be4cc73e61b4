#pragma once

#include <cstdint>
#include <string>

#include "formats/ProgramFile.h"
#include "volume/ProgramRecord.h"

namespace velmorant::volume {

std::int32_t ProgramTypeFromTag(const formats::ProgramTag& tag);

// Fills the record from the file (path, name, size, type, log line). The chunk counts are
// read here from the header for every program type.
void LoadProgramFile(ProgramRecord& record, const std::string& path, const formats::ProgramTag& tag,
                     core::FileSource& files = core::DiskFiles());

// The light probe of the dynamic catalogue: false when the file is not a program.
struct ProgramProbe {
    std::string path;
    std::int32_t type = kTypeUnknown;
};
bool ProbeProgramFile(ProgramProbe& entry, const std::string& path);

}  // namespace velmorant::volume
