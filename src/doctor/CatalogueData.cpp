#include "doctor/CatalogueData.h"

#include <map>
#include <nlohmann/json.hpp>

#include "catalogue/CataloguePages.h"
#include "core/Encoding.h"
#include "core/File.h"
#include "core/Text.h"
#include "doctor/ReportWriters.h"
#include "doctor/VolumeCheck.h"
#include "volume/ProgramRecord.h"

namespace velmorant::doctor {
namespace {

int MissingIn(const std::vector<FileNode>& files) {
    int missing = 0;
    for (const FileNode& file : files) {
        missing += (file.state == FileState::kMissing ? 1 : 0) + MissingIn(file.samples);
    }
    return missing;
}

std::vector<std::string> SplitCategories(const std::string& joined) {
    return joined.empty() ? std::vector<std::string>{} : core::SplitText(joined, ", ", true);
}

}  // namespace

std::string CatalogueData(const std::string& volume, DataFormat format) {
    CheckOptions options;
    options.volume = volume;
    const Report report = CheckVolume(options);
    std::map<std::string, int> missing;
    for (const BankNode& bank : report.banks) {
        for (const ProgramNode& program : bank.programs) {
            missing[program.path] = MissingIn(program.files);
        }
    }

    std::string csv = "bank,slot,name,type,main category,other categories,missing files\r\n";
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const catalogue::CatalogueRow& row : catalogue::DynamicCatalogueRows(volume)) {
        const auto found = missing.find(row.path);
        const int count = (found != missing.end() ? found->second : 0) +
                          (row.path.empty() || !core::FileExists(row.path) ? 1 : 0);
        const std::string slot = row.letter.empty() ? std::string() : core::Format("%s%i", row.letter.c_str(), row.number);
        const std::string bank = core::Cp1252ToUtf8(row.bank);
        const std::string name = core::Cp1252ToUtf8(row.name);
        const char* type = volume::ProgramTypeName(row.type);
        if (format == DataFormat::kCsv) {
            csv += CsvField(bank) + "," + slot + "," + CsvField(name) + "," + type + "," + CsvField(row.mainCategory) +
                   "," + CsvField(row.otherCategories) + "," + std::to_string(count) + "\r\n";
            continue;
        }
        rows.push_back({{"bank", bank},
                        {"slot", slot.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(slot)},
                        {"name", name},
                        {"type", type},
                        {"mainCategory", row.mainCategory},
                        {"otherCategories", SplitCategories(row.otherCategories)},
                        {"missingFiles", count}});
    }
    if (format == DataFormat::kCsv) {
        return csv;
    }
    return nlohmann::ordered_json{{"volume", core::PathToUtf8(volume)}, {"rows", std::move(rows)}}.dump(2) + "\n";
}

}  // namespace velmorant::doctor
