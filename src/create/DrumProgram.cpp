#include "create/DrumProgram.h"

#include <array>

#include "core/AtomicWrite.h"
#include "core/Bytes.h"
#include "core/Debug.h"
#include "core/File.h"
#include "core/Path.h"
#include "core/Text.h"
#include "create/CreateFiles.h"
#include "create/ProgramTemplates.h"
#include "formats/DrumProgramLayout.h"
#include "formats/ReferenceRecord.h"

namespace velmorant::create {

namespace {

using formats::DrumOscillatorOffset;
using formats::DrumZoneOffset;
using formats::kDrumOscillatorKey;
using formats::kDrumProgramKeyOffset;

void WriteZone(core::ByteWriter& writer, int slot, int zone, const std::string& sampleName, int upperBound) {
    const std::size_t z = DrumZoneOffset(static_cast<std::size_t>(slot), static_cast<std::size_t>(zone));
    // The sample lies beside the program: no location, no folder.
    writer.bytes(z + formats::kDrumZoneReference, formats::EncodeReference("", "", sampleName, '\0'));
    writer.u8(z + formats::kDrumZoneEnabled, 0x01);
    writer.u8(z + formats::kDrumZoneUpperVelocity, static_cast<std::uint8_t>(upperBound & 0xFF));
}

void WriteKey(core::ByteWriter& writer, int slot, int key) {
    writer.u8(DrumOscillatorOffset(static_cast<std::size_t>(slot)) + kDrumOscillatorKey,
              static_cast<std::uint8_t>(key + kDrumProgramKeyOffset));
}

}  // namespace

std::string DrumSampleName(const std::string& programName, int key, int layer) {
    return core::Format("%s%02i%i", programName.c_str(), key, layer);
}

DrumProgramPlan PlanDrumProgram(const DrumKit& kit, const std::string& programName) {
    DrumProgramPlan plan;
    // A reader trims the blanks that lead a reference's name, so the samples' names go without them.
    std::string_view lead = programName;
    while (!lead.empty() && core::IsSpace(lead.front())) lead.remove_prefix(1);
    const std::string name = WithoutSeparators(lead);
    std::array<int, kDrumKitKeys> slotOfKey{};
    slotOfKey.fill(-1);
    int slots = 0;
    for (int k = 0; k < kDrumKitKeys; ++k) {
        if (kit.keys[static_cast<std::size_t>(k)].state <= 0) {
            continue;
        }
        if (slots == static_cast<int>(formats::kDrumOscillators)) {
            ++plan.keysLeftOut;
            continue;
        }
        slotOfKey[static_cast<std::size_t>(k)] = slots++;
    }

    plan.bytes = DrumProgramTemplate();
    core::ByteWriter writer(plan.bytes);
    for (int k = 0; k < kDrumKitKeys; ++k) {
        const DrumKey& key = kit.keys[static_cast<std::size_t>(k)];
        const int slot = slotOfKey[static_cast<std::size_t>(k)];
        if (slot < 0 || key.state == kKeyCopy) {
            continue;
        }
        for (int j = 0; j < key.layerCount(); ++j) {
            const std::string sampleName = DrumSampleName(name, k, j);
            WriteZone(writer, slot, j, sampleName, key.layers[static_cast<std::size_t>(j)].upperBound);
            WriteKey(writer, slot, k);
            plan.samples.push_back({k, j, sampleName});
            core::DebugPrint("\n%i:%s (patch %i, key = x%x (%i))\n\n", slot, sampleName.c_str(),
                             static_cast<int>(DrumZoneOffset(static_cast<std::size_t>(slot), 0) +
                                              formats::kDrumZoneReference),
                             static_cast<unsigned>(k + kDrumProgramKeyOffset),
                             static_cast<int>(DrumOscillatorOffset(static_cast<std::size_t>(slot)) +
                                              kDrumOscillatorKey));
        }
    }
    // A copy plays its source's samples (no new files) under its own key.
    for (int k = 0; k < kDrumKitKeys; ++k) {
        const DrumKey& key = kit.keys[static_cast<std::size_t>(k)];
        const int slot = slotOfKey[static_cast<std::size_t>(k)];
        if (slot < 0 || key.state != kKeyCopy || key.copySource < 0 || key.copySource >= kDrumKitKeys) {
            continue;
        }
        const DrumKey& source = kit.keys[static_cast<std::size_t>(key.copySource)];
        if (source.state != kKeyOwnLayers || slotOfKey[static_cast<std::size_t>(key.copySource)] < 0) {
            continue;
        }
        for (int j = 0; j < source.layerCount(); ++j) {
            WriteZone(writer, slot, j, DrumSampleName(name, key.copySource, j),
                      source.layers[static_cast<std::size_t>(j)].upperBound);
            WriteKey(writer, slot, k);
        }
    }
    return plan;
}

DrumBuildResult BuildDrumProgram(platform::Platform& platform, const DrumKit& kit, const std::string& chosenPath,
                                 const AudioIn& audio) {
    DrumBuildResult result;
    core::DebugPrint("Chosen file: %s\n", chosenPath.c_str());
    const std::string name = core::PathBaseName(chosenPath);
    const std::string folder = core::PathDirectory(chosenPath);
    core::DebugPrint("Path : %s\nName : %s\n", folder.c_str(), name.c_str());
    result.programPath = InFolder(folder, name + ".afp");
    core::DebugPrint("Program file: %s\n", result.programPath.c_str());
    if (core::TrimSpaces(name).empty()) {
        platform.ShowMessage("Program name is empty !", "Error", platform::Icon::kInformation);
        return result;
    }
    // Zones name their samples in 32 characters: a longer program name would leave
    // every zone naming a file that does not exist.
    if (name.size() > kMaxDrumProgramName) {
        platform.ShowMessage("Program name is too long !", "Error", platform::Icon::kInformation);
        return result;
    }

    const DrumProgramPlan plan = PlanDrumProgram(kit, name);
    result.keysLeftOut = plan.keysLeftOut;
    if (result.keysLeftOut > 0) {
        core::DebugPrint("%i key(s) beyond the 64 oscillators left out\n", result.keysLeftOut);
        platform.ShowMessage(
            "The Fusion drums programs are limited to 64 oscillators. All notes will be ignored beyond. !", "Error",
            platform::Icon::kInformation);
    }
    std::vector<ConversionJob> jobs;
    for (const DrumProgramPlan::Sample& sample : plan.samples) {
        const std::string samplePath = InFolder(folder, sample.name + ".afs");
        result.sampleFiles.push_back(samplePath);
        result.sampleSources.push_back(
            kit.keys[static_cast<std::size_t>(sample.key)].layers[static_cast<std::size_t>(sample.layer)].path);
        // The WAV's own root key (or 60) applies to a drum sample.
        jobs.push_back({result.sampleSources.back(), samplePath, std::nullopt});
    }
    const bool converted = ConvertBuildSamples(platform, result.programPath, jobs, audio, result.conversions);
    for (const SampleOutcome& outcome : result.conversions) result.conversionStatus.push_back(outcome.status);
    if (!converted) {
        return result;
    }
    if (const core::FileStatus written = core::WriteFileAtomically(result.programPath, plan.bytes); !written) {
        platform.ShowMessage(CannotCreateText(result.programPath, written), "Error", platform::Icon::kStop);
        return result;
    }
    result.written = true;
    platform.ShowMessage("Build done !", "Information", platform::Icon::kInformation);
    return result;
}

}  // namespace velmorant::create
