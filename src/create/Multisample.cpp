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

MultisampleFiles PlanMultisampleFiles(std::string_view name, const std::vector<SampleEntry>& entries,
                                      const std::vector<std::string>& fileNames) {
    MultisampleFiles files;
    // The program names its multisample in 32 characters, and the volume reader trims the
    // name it finds, so the multisample file is named by exactly that text.
    files.multisampleName =
        WithoutSeparators(core::TrimTrailingSpaces(core::CutText(core::TrimSpaces(name), kReferenceNameLength)));
    std::vector<formats::MultisampleZoneEntry> zones;
    files.index = core::Format("Number of items: %i\r\n", static_cast<int>(fileNames.size()));
    for (std::size_t i = 0; i < entries.size() && i < fileNames.size(); ++i) {
        const SampleEntry& entry = entries[i];
        const std::string sampleName = fileNames[i].substr(0, fileNames[i].size() - 4);
        files.index += sampleName + "\r\n";
        formats::MultisampleZoneEntry zone;
        zone.rightKey = static_cast<std::uint8_t>(entry.rightKey);
        zone.leftKey = static_cast<std::uint8_t>(entry.leftKey);
        zone.velocityHigh = static_cast<std::uint8_t>(entry.velocityHigh);
        zone.velocityLow = static_cast<std::uint8_t>(entry.velocityLow);
        zone.rootKey = static_cast<std::uint8_t>(entry.rootKey);
        // Only the name field is filled: location and folder stay zero, so the sample is looked
        // for beside the multisample.
        core::ByteWriter(zone.reference)
            .pairSwappedText(formats::kReferenceNameOffset, core::TrimTrailingSpaces(sampleName),
                             formats::kReferenceNameWidth, '\0');
        zones.push_back(zone);
        core::DebugPrint("%s (L:%i,R:%i,O:%i)\n", sampleName.c_str(), entry.leftKey, entry.rightKey, entry.rootKey);
    }
    formats::BuildMultisample(zones, files.multisample);
    files.program = MultisampleProgramTemplate();
    core::ByteWriter(files.program)
        .pairSwappedText(formats::kMultisampleProgramNameOffset, files.multisampleName, kReferenceNameLength, '\0');
    return files;
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
    const std::vector<std::string> fileNames = PlanSampleFileNames(name, entries, folder);
    const MultisampleFiles files = PlanMultisampleFiles(name, entries, fileNames);
    if (files.multisampleName.empty()) {
        return refuse("Program name is empty !");
    }
    if (fileNames.size() != entries.size()) {
        return refuse(core::Format("Too many samples named like %s in %s. Nothing was written.", name.c_str(),
                                   folder.c_str()));
    }
    const std::string multisamplePath = InFolder(folder, files.multisampleName + ".afi");
    core::DebugPrint("completepath : %s\n", multisamplePath.c_str());
    result.programPath = InFolder(folder, name + ".afp");

    std::vector<ConversionJob> jobs;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string samplePath = InFolder(folder, fileNames[i]);
        result.sampleFiles.push_back(samplePath);
        jobs.push_back({entries[i].path, samplePath, static_cast<std::uint32_t>(entries[i].rootKey)});
    }
    // The samples come first: the index, multisample and program name only samples that exist.
    const bool converted = ConvertBuildSamples(platform, result.programPath, jobs, audio, result.conversions);
    for (const SampleOutcome& outcome : result.conversions) result.conversionStatus.push_back(outcome.status);
    if (!converted) {
        result.code = BuildResult::kSampleFailed;
        return result;
    }

    struct Write {
        std::string path;
        std::span<const std::uint8_t> bytes;
        BuildResult failure;
    };
    const Write writes[] = {
        {InFolder(folder, "bank.txt"),
         std::span(reinterpret_cast<const std::uint8_t*>(files.index.data()), files.index.size()),
         BuildResult::kCannotCreateIndex},
        {multisamplePath, files.multisample, BuildResult::kCannotCreateProgram},
        {result.programPath, files.program, BuildResult::kCannotCreateProgram}};
    for (const Write& write : writes) {
        if (const core::FileStatus written = core::WriteFileAtomically(write.path, write.bytes); !written) {
            platform.ShowMessage(CannotCreateText(write.path, written), "Error", platform::Icon::kStop);
            result.code = write.failure;
            return result;
        }
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
