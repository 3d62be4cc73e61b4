#include "volume/DependencyRows.h"

#include "core/Text.h"
#include "volume/Dependencies.h"

namespace velmorant::volume {
namespace {

DependencyRow RowOf(const DependencyRecord& dependency, std::string bank, ChecksumCache* cache) {
    DependencyRow row;
    row.kind = dependency.kind;
    row.name = dependency.foundName;
    row.sizeKb = core::Format("%lld", static_cast<long long>(dependency.fileSize / 1024 + 1));
    row.bank = std::move(bank);
    row.path = dependency.sourcePath;
    row.multiple = core::Format("%i", static_cast<int>(dependency.duplicate));
    row.crc = core::Format("%x", static_cast<unsigned>(DependencyChecksum(dependency, cache)));
    return row;
}

}  // namespace

std::vector<DependencyRow> DependencyRows(const ProgramRecord& record, ChecksumCache* cache) {
    std::vector<DependencyRow> rows;
    for (const DependencyRecord& dependency : record.dependencies) {
        rows.push_back(RowOf(dependency, dependency.folderName, cache));
        for (const DependencyRecord& sample : dependency.samples) {
            std::string bank(core::TrimSpaces(sample.folderName));
            if (!sample.folderGiven) {
                bank = core::Format("%s (Relative)", bank.c_str());
            }
            rows.push_back(RowOf(sample, std::move(bank), cache));
        }
    }
    return rows;
}

}  // namespace velmorant::volume
