#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "volume/ProgramRecord.h"

namespace velmorant::cli {

// The dependency rows as the Program Properties dialog shows them: each dependency,
// then its own samples, with the Bank column trimmed and marked for level-2 rows.
struct DependencyRow {
    std::string name;
    std::string sizeKb;
    std::string bank;
    std::string path;
    std::string multiple;
    std::string crc;
};
std::vector<DependencyRow> DependencyRows(const volume::ProgramRecord& record);
std::string FormatDependencyTable(const std::vector<DependencyRow>& rows);

nlohmann::json DependencyToJson(const volume::DependencyRecord& dependency);
nlohmann::json ProgramToJson(const volume::ProgramRecord& record);

}  // namespace velmorant::cli
