#include "create/Multisample.h"

#include <algorithm>

#include "core/AtomicWrite.h"
#include "core/Bytes.h"
#include "core/Debug.h"
#include "core/File.h"
#include "core/FileNames.h"
#include "core/Path.h"
#include "core/Text.h"
#include "create/CreateFiles.h"
#include "create/ProgramTemplates.h"
#include "create/SampleConversion.h"
#include "formats/MultisampleFile.h"
#include "formats/ProgramFile.h"

namespace velmorant::create {

namespace {

constexpr std::size_t kBaseLength = 29;
constexpr std::size_t kCollisionBaseLength = 26;
constexpr int kCollisionCodes = 1000;

// The last three characters of the number after `zeros` leading zeros: 60 -> "060".
std::string ThreeDigits(const char* format, int value) {
    const std::string text = core::Format(format, value);
    return text.substr(text.size() - 3);
}

}  // namespace

MultisampleZone MakeZone(std::string_view sampleName) {
    MultisampleZone zone;
    core::ByteWriter writer(zone.storedName);
    writer.pairSwappedText(0, core::TrimTrailingSpaces(sampleName), zone.storedName.size(), '\0');
    core::DebugPrint("scrambled name : %s", std::string(sampleName).c_str());
    return zone;
}

core::FileStatus WriteMultisampleFile(const std::vector<MultisampleZone>& zones, const std::string& path) {
    core::DebugPrint("file : %s\n", path.c_str());
    std::vector<formats::MultisampleZoneEntry> entries;
    entries.reserve(zones.size());
    for (const MultisampleZone& zone : zones) {
        formats::MultisampleZoneEntry entry;
        entry.rightKey = static_cast<std::uint8_t>(zone.rightKey);
        entry.leftKey = static_cast<std::uint8_t>(zone.leftKey);
        entry.velocityHigh = static_cast<std::uint8_t>(zone.velocityHigh);
        entry.velocityLow = static_cast<std::uint8_t>(zone.velocityLow);
        entry.rootKey = static_cast<std::uint8_t>(zone.rootKey);
        // The name field holds the first 32 bytes of the stored name; location and folder stay zero.
        std::copy_n(zone.storedName.begin(), formats::kReferenceNameWidth,
                    entry.reference.begin() + formats::kReferenceNameOffset);
        entries.push_back(entry);
    }
    std::vector<std::uint8_t> file;
    if (formats::BuildMultisample(entries, file) != formats::MultisampleResult::kDone) {
        return core::FileStatus{std::make_error_code(std::errc::value_too_large)};
    }
    return core::WriteFileAtomically(path, file);
}

std::string SafeSampleName(std::string_view name) {
    return core::SanitiseFileName(name, core::NameRule::kGeneratedName);
}

std::vector<std::string> PlanSampleFileNames(std::string_view name, const std::vector<SampleEntry>& entries,
                                             const std::string& folder) {
    std::vector<std::string> names;
    const std::string base = SafeSampleName(core::CutText(name, kBaseLength));
    const std::string shortBase = SafeSampleName(core::CutText(name, kCollisionBaseLength));
    const auto taken = [&](const std::string& candidate) {
        // A file this build did not write is never overwritten.
        return std::find(names.begin(), names.end(), candidate) != names.end() ||
               core::FileExists(InFolder(folder, candidate));
    };
    for (const SampleEntry& entry : entries) {
        const std::string keyCode = ThreeDigits("00000%i", entry.rootKey);
        std::string candidate = base + keyCode + ".afs";
        for (int k = 0; taken(candidate); ++k) {
            if (k == kCollisionCodes) {
                return {};
            }
            candidate = shortBase + ThreeDigits("0000%i", k) + keyCode + ".afs";
        }
        names.push_back(candidate);
    }
    return names;
}

MultisampleBuildResult BuildMultisample(platform::Platform& platform, const std::vector<SampleEntry>& entries,
                                        const std::string& chosenPath, const AudioIn& audio) {
    MultisampleBuildResult result;
    const std::string name = core::PathBaseName(chosenPath);
    const std::string folder = core::PathDirectory(chosenPath);
    core::DebugPrint("Path : %s\nName : %s\n", folder.c_str(), name.c_str());

    const auto refuse = [&](const std::string& text) {
        platform.ShowMessage(text, "Error", platform::Icon::kStop);
        result.code = BuildResult::kRefused;
        return result;
    };
    if (entries.size() > kMaxMultisampleZones) {
        return refuse(core::Format("A multisample holds at most %i samples; this one has %i. Nothing was written.",
                                   static_cast<int>(kMaxMultisampleZones), static_cast<int>(entries.size())));
    }
    // The program names its multisample in 32 characters, and the volume reader trims the
    // name it finds, so the multisample file is named by exactly that text.
    const std::string multisampleName(
        core::TrimTrailingSpaces(core::CutText(core::TrimSpaces(name), kReferenceNameLength)));
    if (multisampleName.empty()) {
        return refuse("Program name is empty !");
    }
    const std::vector<std::string> fileNames = PlanSampleFileNames(name, entries, folder);
    if (fileNames.size() != entries.size()) {
        return refuse(core::Format("Too many samples named like %s in %s. Nothing was written.", name.c_str(),
                                   folder.c_str()));
    }
    const std::string multisamplePath = InFolder(folder, multisampleName + ".afi");
    core::DebugPrint("completepath : %s\n", multisamplePath.c_str());
    result.programPath = InFolder(folder, name + ".afp");

    std::vector<MultisampleZone> zones;
    std::vector<ConversionJob> jobs;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const SampleEntry& entry = entries[i];
        const std::string& fileName = fileNames[i];
        MultisampleZone zone = MakeZone(fileName.substr(0, fileName.size() - 4));
        zone.leftKey = entry.leftKey;
        zone.rightKey = entry.rightKey;
        zone.rootKey = entry.rootKey;
        zone.velocityLow = entry.velocityLow;
        zone.velocityHigh = entry.velocityHigh;
        zones.push_back(zone);
        const std::string samplePath = InFolder(folder, fileName);
        result.sampleFiles.push_back(samplePath);
        jobs.push_back({entry.path, samplePath, static_cast<std::uint32_t>(entry.rootKey)});
        core::DebugPrint("%s (L:%i,R:%i,O:%i)\n", fileName.c_str(), entry.leftKey, entry.rightKey, entry.rootKey);
    }
    // The samples come first: the index, multisample and program name only samples that exist.
    const bool converted = ConvertBuildSamples(platform, result.programPath, jobs, audio, result.conversions);
    for (const SampleOutcome& outcome : result.conversions) result.conversionStatus.push_back(outcome.status);
    if (!converted) {
        result.code = BuildResult::kSampleFailed;
        return result;
    }

    const auto cannotCreate = [&](const std::string& path, const core::FileStatus& status, BuildResult code) {
        platform.ShowMessage(CannotCreateText(path, status), "Error", platform::Icon::kStop);
        result.code = code;
        return result;
    };
    std::string index = core::Format("Number of items: %i\r\n", static_cast<int>(entries.size()));
    for (const std::string& fileName : fileNames) {
        index += fileName.substr(0, fileName.size() - 4) + "\r\n";
    }
    const std::string indexPath = InFolder(folder, "bank.txt");
    if (const core::FileStatus written = core::WriteFileAtomically(indexPath, index); !written) {
        return cannotCreate(indexPath, written, BuildResult::kCannotCreateIndex);
    }
    core::DebugPrint("create multisample");
    if (const core::FileStatus written = WriteMultisampleFile(zones, multisamplePath); !written) {
        return cannotCreate(multisamplePath, written, BuildResult::kCannotCreateProgram);
    }
    std::vector<std::uint8_t> program = MultisampleProgramTemplate();
    core::ByteWriter writer(program);
    writer.pairSwappedText(formats::kMultisampleProgramNameOffset, multisampleName, kReferenceNameLength, '\0');
    if (const core::FileStatus written = core::WriteFileAtomically(result.programPath, program); !written) {
        return cannotCreate(result.programPath, written, BuildResult::kCannotCreateProgram);
    }
    platform.ShowMessage("Done !", "Information", platform::Icon::kInformation);
    return result;
}

void AutoMapSamples(std::vector<SampleEntry>& entries) {
    std::vector<std::size_t> order(entries.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
        core::DebugPrint("%i:%i\n", static_cast<int>(i), entries[i].locked);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return entries[a].rootKey < entries[b].rootKey; });
    std::vector<std::size_t> mapped;
    for (std::size_t i : order) {
        if (entries[i].locked != 0) {
            continue;
        }
        if (!mapped.empty() && entries[mapped.back()].rootKey == entries[i].rootKey) {
            continue;  // same root key: only the first of them is mapped
        }
        mapped.push_back(i);
    }
    if (mapped.empty()) {
        return;
    }
    entries[mapped.front()].leftKey = 0;
    for (std::size_t j = 0; j + 1 < mapped.size(); ++j) {
        SampleEntry& lower = entries[mapped[j]];
        SampleEntry& upper = entries[mapped[j + 1]];
        lower.rightKey = lower.rootKey + (upper.rootKey - lower.rootKey) / 2;
        upper.leftKey = lower.rightKey + 1;
    }
    entries[mapped.back()].rightKey = 127;
}

}  // namespace velmorant::create
