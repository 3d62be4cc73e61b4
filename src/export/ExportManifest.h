#pragma once

#include <string>
#include <vector>

#include "export/ExportPlan.h"

namespace velmorant::exporting {

// The folder of the destination's root that keeps export manifests, outside the instrument's own.
inline constexpr const char* kManifestFolder = "Velmorant";

// "sample", "multisample", "program", "bank-list", "manifest".
const char* KindName(FileKind kind);
// A path below the destination relative to it, '/' between folders, as UTF-8.
std::string RelativePath(const std::string& root, const std::string& path);

// The manifest (docs/formats/export-manifest.md) of the bank's files at the destination:
// every planned file with `present[i]` set, except the manifest itself and the volume's bank
// list, which other banks change too.
std::string ManifestText(const ExportPlan& plan, const std::vector<bool>& present);

}  // namespace velmorant::exporting
