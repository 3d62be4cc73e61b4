#include "doctor/Manifest.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>

#include "core/File.h"
#include "core/Path.h"
#include "core/Text.h"
#include "doctor/SampleScan.h"

namespace velmorant::doctor {
namespace {

using nlohmann::json;

std::string Hex(std::uint32_t value) {
    return core::Format("%08x", value);
}

std::optional<std::uint32_t> ParseHex(const std::string& text) {
    if (text.size() != 8 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(std::stoul(text, nullptr, 16));
}

// The manifest's path as a path under the destination, or nullopt when it would leave it.
std::optional<std::string> PathUnder(const std::string& destination, const std::string& relative) {
    std::string path = destination;
    const std::vector<std::string> parts = core::SplitText(relative, "/", true);
    for (const std::string& part : parts) {
        if (!core::IsSafePathComponent(part)) {
            return std::nullopt;
        }
        path = core::JoinPath(path, part);
    }
    return parts.empty() ? std::nullopt : std::optional<std::string>(path);
}

std::string Text(const json& object, const char* key) {
    const auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

}  // namespace

std::string ManifestJson(const Manifest& manifest) {
    // Keys in the order the format page lists them, so a person can read the file too.
    using ordered = nlohmann::ordered_json;
    ordered files = ordered::array();
    for (const ManifestFile& file : manifest.files) {
        ordered references = ordered::array();
        for (const ManifestReference& reference : file.references) {
            references.push_back({{"offset", reference.offset}, {"old", reference.oldName}, {"new", reference.newName}});
        }
        files.push_back({{"path", file.path},
                         {"kind", file.kind},
                         {"size", file.size},
                         {"crc32", Hex(file.crc32)},
                         {"source", file.source.empty() ? ordered(nullptr) : ordered(file.source)},
                         {"oldName", file.oldName},
                         {"newName", file.newName},
                         {"references", std::move(references)}});
    }
    const ordered document{{"format", kManifestFormat},
                        {"version", kManifestVersion},
                        {"bank", manifest.bank},
                        {"sourceVolume", manifest.sourceVolume},
                        {"files", std::move(files)},
                        {"missing", manifest.missing}};
    return document.dump(2) + "\n";
}

std::optional<Manifest> ParseManifest(std::string_view text, std::string* error) {
    const auto fail = [&](std::string reason) -> std::optional<Manifest> {
        if (error != nullptr) {
            *error = std::move(reason);
        }
        return std::nullopt;
    };
    const json document = json::parse(text, nullptr, false);
    if (document.is_discarded() || !document.is_object()) {
        return fail("not a JSON object");
    }
    if (Text(document, "format") != kManifestFormat) {
        return fail("\"format\" is not \"" + std::string(kManifestFormat) + "\"");
    }
    const auto version = document.find("version");
    if (version == document.end() || !version->is_number_integer() || version->get<int>() != kManifestVersion) {
        return fail(core::Format("\"version\" is not %d", kManifestVersion));
    }
    const auto files = document.find("files");
    if (files == document.end() || !files->is_array()) {
        return fail("\"files\" is not a list");
    }
    Manifest manifest;
    manifest.bank = Text(document, "bank");
    manifest.sourceVolume = Text(document, "sourceVolume");
    for (std::size_t i = 0; i < files->size(); ++i) {
        const json& entry = (*files)[i];
        if (!entry.is_object()) {
            return fail(core::Format("file %zu is not an object", i));
        }
        ManifestFile file;
        file.path = Text(entry, "path");
        const auto size = entry.find("size");
        const auto crc = ParseHex(Text(entry, "crc32"));
        if (file.path.empty() || size == entry.end() || !size->is_number_unsigned() || !crc) {
            return fail(core::Format("file %zu needs \"path\", \"size\" and an 8-digit hex \"crc32\"", i));
        }
        file.size = size->get<std::uint64_t>();
        file.crc32 = *crc;
        file.kind = Text(entry, "kind");
        file.source = Text(entry, "source");
        file.oldName = Text(entry, "oldName");
        file.newName = Text(entry, "newName");
        if (const auto references = entry.find("references"); references != entry.end() && references->is_array()) {
            for (const json& reference : *references) {
                if (!reference.is_object()) {
                    continue;
                }
                const auto offset = reference.find("offset");
                file.references.push_back(
                    {offset != reference.end() && offset->is_number_unsigned() ? offset->get<std::uint32_t>() : 0u,
                     Text(reference, "old"), Text(reference, "new")});
            }
        }
        manifest.files.push_back(std::move(file));
    }
    if (const auto missing = document.find("missing"); missing != document.end() && missing->is_array()) {
        for (const json& source : *missing) {
            if (source.is_string()) {
                manifest.missing.push_back(source.get<std::string>());
            }
        }
    }
    return manifest;
}

Report VerifyManifest(const std::string& destination, const std::string& manifestPath) {
    Report report;
    report.volume = destination;
    report.manifest = manifestPath;
    const auto add = [&](FindingKind kind, Severity severity, std::string path, std::string detail) {
        (severity == Severity::kFailure ? report.totals.failures : report.totals.warnings) += 1;
        report.findings.push_back({kind, severity, {}, {}, {std::move(path)}, std::move(detail), {}, 0});
    };
    const auto bytes = core::ReadWholeFile(manifestPath);
    std::string error = "cannot be read";
    const auto manifest =
        bytes ? ParseManifest(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), &error)
              : std::nullopt;
    if (!manifest) {
        add(FindingKind::kManifestUnreadable, Severity::kFailure, manifestPath, error);
        return report;
    }
    report.totals.manifestFiles = static_cast<std::int64_t>(manifest->files.size());

    std::set<std::string> listed;
    std::set<std::string> folders;
    for (const ManifestFile& file : manifest->files) {
        const auto path = PathUnder(destination, file.path);
        if (!path) {
            add(FindingKind::kManifestUnreadable, Severity::kFailure, file.path,
                "names a path outside the destination; not checked");
            continue;
        }
        listed.insert(*path);
        folders.insert(core::PathDirectory(*path));
        const auto sums = core::FileExists(*path) ? FileContentSums(*path) : std::nullopt;
        if (!sums) {
            add(FindingKind::kManifestMissing, Severity::kFailure, *path, "listed in the manifest but not there");
        } else if (sums->size != file.size || sums->crc != file.crc32) {
            add(FindingKind::kManifestChanged, Severity::kFailure, *path,
                core::Format("written with %llu bytes and CRC-32 %s, now %llu bytes and CRC-32 %s",
                             static_cast<unsigned long long>(file.size), Hex(file.crc32).c_str(),
                             static_cast<unsigned long long>(sums->size), Hex(sums->crc).c_str()));
        }
    }
    for (const std::string& folder : folders) {
        auto names = core::ListDirectory(folder);
        if (!names) {
            continue;
        }
        std::sort(names->begin(), names->end());
        for (const std::string& name : *names) {
            const std::string path = core::JoinPath(folder, name);
            if (listed.count(path) == 0 && path != manifestPath && core::FileExists(path)) {
                add(FindingKind::kManifestExtra, Severity::kWarning, path, "not listed in the manifest");
            }
        }
    }
    return report;
}

}  // namespace velmorant::doctor
