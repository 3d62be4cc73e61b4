#include "cli/ProgramReport.h"

#include <algorithm>
#include <array>

#include "core/Text.h"
#include "volume/DependencyRows.h"

namespace velmorant::cli {
std::string FormatDependencyTable(const std::vector<volume::DependencyRow>& rows) {
    const std::array<std::string, 6> headers = {"Name", "Size (Kb)", "Bank", "Path", "Multiple", "CRC"};
    std::array<std::size_t, 6> widths{};
    for (std::size_t c = 0; c < 6; ++c) {
        widths[c] = headers[c].size();
    }
    auto cells = [](const volume::DependencyRow& row) {
        return std::array<const std::string*, 6>{&row.name, &row.sizeKb, &row.bank, &row.path, &row.multiple, &row.crc};
    };
    for (const auto& row : rows) {
        const auto values = cells(row);
        for (std::size_t c = 0; c < 6; ++c) {
            widths[c] = std::max(widths[c], values[c]->size());
        }
    }
    std::string out;
    auto line = [&](const std::array<const std::string*, 6>& values) {
        std::string text;
        for (std::size_t c = 0; c < 6; ++c) {
            text += *values[c];
            if (c + 1 < 6) {
                text.append(widths[c] - values[c]->size() + 2, ' ');
            }
        }
        out += std::string(core::TrimTrailingSpaces(text)) + "\n";
    };
    line({&headers[0], &headers[1], &headers[2], &headers[3], &headers[4], &headers[5]});
    for (const auto& row : rows) {
        line(cells(row));
    }
    return out;
}

nlohmann::json DependencyToJson(const volume::DependencyRecord& dependency) {
    nlohmann::json json = {
        {"kind", dependency.kind},
        {"foundName", dependency.foundName},
        {"currentName", dependency.currentName},
        {"folder", dependency.folderName},
        {"folderGiven", dependency.folderGiven},
        {"location", dependency.locationText},
        {"volume", dependency.volumeNumber},
        {"sourcePath", dependency.sourcePath},
        {"size", dependency.fileSize},
        {"crc", dependency.crc},
        {"duplicate", dependency.duplicate},
        {"referenceOffset", dependency.referenceOffset},
    };
    nlohmann::json samples = nlohmann::json::array();
    for (const auto& sample : dependency.samples) {
        samples.push_back(DependencyToJson(sample));
    }
    json["samples"] = std::move(samples);
    return json;
}

nlohmann::json ProgramToJson(const volume::ProgramRecord& record) {
    nlohmann::json dependencies = nlohmann::json::array();
    for (const auto& dependency : record.dependencies) {
        dependencies.push_back(DependencyToJson(dependency));
    }
    return {
        {"name", record.programName},
        {"type", record.type},
        {"typeName", volume::ProgramTypeName(record.type)},
        {"categories", record.categories},
        {"summary", record.summary},
        {"fileSize", record.fileSize},
        {"chunks",
         {{"mods", record.chunkCounts[0]},
          {"envelopes", record.chunkCounts[1]},
          {"lfos", record.chunkCounts[2]},
          {"patterns", record.chunkCounts[3]}}},
        {"log", record.log},
        {"dependencies", std::move(dependencies)},
    };
}

}  // namespace velmorant::cli
