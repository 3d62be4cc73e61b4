#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "doctor/Report.h"

namespace velmorant::doctor {

// The record of what an export wrote (docs/formats/export-manifest.md). Text is UTF-8.
struct ManifestReference {
    std::uint32_t offset = 0;  // of the reference record in the written file
    std::string oldName;       // "Folder/Name" as the source file named it
    std::string newName;       // "Folder/Name" as the written file names it
};

struct ManifestFile {
    std::string path;  // relative to the destination volume, '/' between folders
    std::string kind;  // "program", "multisample", "sample" or "bank-list"
    std::uint64_t size = 0;
    std::uint32_t crc32 = 0;
    std::string source;  // the file it was copied from; empty for a file the export made
    std::string oldName;
    std::string newName;
    std::vector<ManifestReference> references;
};

struct Manifest {
    std::string bank;
    std::string sourceVolume;
    std::vector<ManifestFile> files;
    std::vector<std::string> missing;  // samples missing on the source volume, not copied
};

inline constexpr std::string_view kManifestFormat = "velmorant-export-manifest";
inline constexpr int kManifestVersion = 1;

std::string ManifestJson(const Manifest& manifest);
// nullopt with the reason in *error when the text is not a manifest this version reads.
std::optional<Manifest> ParseManifest(std::string_view text, std::string* error);

// Missing, changed (size or CRC-32) and extra files of the destination against the manifest;
// extra files are looked for in the folders that hold listed files.
Report VerifyManifest(const std::string& destination, const std::string& manifestPath);

}  // namespace velmorant::doctor
