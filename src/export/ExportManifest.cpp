#include "export/ExportManifest.h"

#include <algorithm>

#include "core/Encoding.h"
#include "core/Path.h"
#include "doctor/Manifest.h"

namespace velmorant::exporting {
namespace {

}  // namespace

const char* KindName(FileKind kind) {
    switch (kind) {
        case FileKind::kSample: return "sample";
        case FileKind::kMultisample: return "multisample";
        case FileKind::kProgram: return "program";
        case FileKind::kBankList: return "bank-list";
        case FileKind::kManifest: return "manifest";
    }
    return "";
}

namespace {

// The volume folder of a program file: Volume/Programs/<bank>/<program>.afp.
std::string VolumeOf(const std::string& programPath) {
    return core::PathDirectory(core::PathDirectory(core::PathDirectory(programPath)));
}

}  // namespace

std::string ManifestText(const ExportPlan& plan, const std::vector<bool>& present) {
    doctor::Manifest manifest;
    manifest.bank = core::Cp1252ToUtf8(plan.bankName);
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        const PlannedFile& file = plan.files[i];
        if (file.kind == FileKind::kProgram && manifest.sourceVolume.empty()) {
            manifest.sourceVolume = core::PathToUtf8(VolumeOf(file.source));
        }
        if (file.action == Action::kMissing) {
            if (std::find(manifest.missing.begin(), manifest.missing.end(), core::PathToUtf8(file.source)) ==
                manifest.missing.end()) {
                manifest.missing.push_back(core::PathToUtf8(file.source));
            }
            continue;
        }
        if (i >= present.size() || !present[i] || file.kind == FileKind::kManifest || plan.registration == i) {
            continue;
        }
        doctor::ManifestFile entry;
        entry.path = RelativePath(plan.destination, file.destination);
        entry.kind = KindName(file.kind);
        entry.size = file.size;
        entry.crc32 = file.crc.value_or(0);
        entry.source = core::PathToUtf8(file.source);
        entry.oldName = core::Cp1252ToUtf8(file.oldName);
        entry.newName = core::Cp1252ToUtf8(file.newName);
        for (const PlannedReference& reference : file.references) {
            entry.references.push_back(
                {reference.offset, core::Cp1252ToUtf8(reference.oldName), core::Cp1252ToUtf8(reference.newName)});
        }
        manifest.files.push_back(std::move(entry));
    }
    return doctor::ManifestJson(manifest);
}

}  // namespace velmorant::exporting
