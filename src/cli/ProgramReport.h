#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "volume/DependencyRows.h"
#include "volume/ProgramRecord.h"

namespace velmorant::cli {

// The Properties dialog's dependency rows as an aligned text table.
std::string FormatDependencyTable(const std::vector<volume::DependencyRow>& rows);

nlohmann::json DependencyToJson(const volume::DependencyRecord& dependency);
nlohmann::json ProgramToJson(const volume::ProgramRecord& record);
// The summary (of a loaded program), dependency table and log, as a terminal shows them.
std::string ProgramText(const volume::ProgramRecord& record, bool loaded = true);

}  // namespace velmorant::cli
