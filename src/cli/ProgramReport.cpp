#include "cli/ProgramReport.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/Encoding.h"
#include "core/Text.h"
#include "volume/DependencyRows.h"

namespace velmorant::cli {
std::string FormatDependencyTable(const std::vector<volume::DependencyRow>& rows) {
    const std::array<std::string, 6> headers = {"Name", "Size (Kb)", "Bank", "Path", "Multiple", "CRC"};
    std::array<std::size_t, 6> widths{};
    for (std::size_t c = 0; c < 6; ++c) {
        widths[c] = headers[c].size();
    }
    // Names and folders are the files' Windows-1252 bytes, the path is the file system's: each
    // cell is made UTF-8 on its own, since a line mixing both cannot be told apart afterwards.
    std::vector<std::array<std::string, 6>> table;
    for (const auto& row : rows) {
        table.push_back({core::Cp1252ToUtf8(row.name), row.sizeKb, core::Cp1252ToUtf8(row.bank),
                         core::PathToUtf8(row.path), row.multiple, row.crc});
        for (std::size_t c = 0; c < 6; ++c) {
            widths[c] = std::max(widths[c], core::Utf8Length(table.back()[c]));
        }
    }
    std::string out;
    auto line = [&](const std::array<std::string, 6>& values) {
        std::string text;
        for (std::size_t c = 0; c < 6; ++c) {
            text += values[c];
            if (c + 1 < 6) {
                text.append(widths[c] - core::Utf8Length(values[c]) + 2, ' ');
            }
        }
        out += std::string(core::TrimTrailingSpaces(text)) + "\n";
    };
    line(headers);
    for (const auto& cells : table) {
        line(cells);
    }
    return out;
}

// Names, logs and summaries hold the files' Windows-1252 bytes; JSON must be UTF-8.
nlohmann::json DependencyToJson(const volume::DependencyRecord& dependency, volume::ChecksumCache* cache) {
    nlohmann::json json = {
        {"kind", static_cast<int>(dependency.kind)},
        {"foundName", core::Cp1252ToUtf8(dependency.foundName)},
        {"currentName", core::Cp1252ToUtf8(dependency.foundName)},  // an inspected program is not exported
        {"folder", core::Cp1252ToUtf8(dependency.folderName)},
        {"folderGiven", static_cast<int>(dependency.folderGiven)},
        {"location", core::Cp1252ToUtf8(dependency.locationText)},
        {"volume", dependency.volumeNumber},
        {"sourcePath", core::PathToUtf8(dependency.sourcePath)},
        {"size", dependency.fileSize},
        {"crc", volume::DependencyChecksum(dependency, cache)},
        {"duplicate", static_cast<int>(dependency.duplicate)},
        {"referenceOffset", dependency.referenceOffset},
    };
    nlohmann::json samples = nlohmann::json::array();
    for (const auto& sample : dependency.samples) {
        samples.push_back(DependencyToJson(sample, cache));
    }
    json["samples"] = std::move(samples);
    return json;
}

nlohmann::json ProgramToJson(const volume::ProgramRecord& record, volume::ChecksumCache* cache) {
    nlohmann::json dependencies = nlohmann::json::array();
    for (const auto& dependency : record.dependencies) {
        dependencies.push_back(DependencyToJson(dependency, cache));
    }
    return {
        {"name", core::Cp1252ToUtf8(record.programName)},
        {"type", record.type},
        {"typeName", volume::ProgramTypeName(record.type)},
        {"categories", core::Cp1252ToUtf8(record.categories)},
        {"summary", core::Cp1252ToUtf8(record.summary)},
        {"fileSize", record.fileSize},
        {"chunks",
         {{"mods", record.chunkCounts[0]},
          {"envelopes", record.chunkCounts[1]},
          {"lfos", record.chunkCounts[2]},
          {"patterns", record.chunkCounts[3]}}},
        {"log", core::Cp1252ToUtf8(record.log)},
        {"dependencies", std::move(dependencies)},
    };
}

std::string ProgramText(const volume::ProgramRecord& record, bool loaded, volume::ChecksumCache* cache) {
    std::string text;
    if (loaded) {
        text += "\n" + core::Cp1252ToUtf8(record.summary);
    }
    text += "\nDependencies:\n" + FormatDependencyTable(volume::DependencyRows(record, cache));
    text += "\nLog:\n" + record.log;
    return core::TerminalText(text);
}

}  // namespace velmorant::cli
