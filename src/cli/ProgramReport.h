#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "volume/Dependencies.h"
#include "volume/DependencyRows.h"
#include "volume/ProgramRecord.h"

namespace velmorant::cli {

// The Properties dialog's dependency rows as an aligned text table.
std::string FormatDependencyTable(const std::vector<volume::DependencyRow>& rows);

// Checksums that loading left pending are read through `cache`.
nlohmann::json DependencyToJson(const volume::DependencyRecord& dependency, volume::ChecksumCache* cache = nullptr);
nlohmann::json ProgramToJson(const volume::ProgramRecord& record, volume::ChecksumCache* cache = nullptr);
// The summary (of a loaded program), dependency table and log, as a terminal shows them.
std::string ProgramText(const volume::ProgramRecord& record, bool loaded = true,
                        volume::ChecksumCache* cache = nullptr);

}  // namespace velmorant::cli
