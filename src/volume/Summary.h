#pragma once

#include <cstdint>

#include "volume/ProgramRecord.h"

namespace velmorant::volume {

std::int32_t ComputeProgramSizeKb(const ProgramRecord& record);
// Overwrites the record's summary text; always 0.
int BuildProgramSummary(ProgramRecord& record);

}  // namespace velmorant::volume
