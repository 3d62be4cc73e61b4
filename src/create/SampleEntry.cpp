#include "create/SampleEntry.h"

#include <algorithm>

#include "core/Debug.h"
#include "core/File.h"
#include "core/Text.h"
#include "formats/WaveFile.h"

namespace velmorant::create {

namespace {

constexpr std::int32_t kDefaultKey = 72;

std::string RefusalText(const formats::WaveFacts& facts, const std::string& path) {
    using formats::WaveResult;
    switch (facts.result) {
        case WaveResult::kNotRiff: return "Bad Riff Format !";
        case WaveResult::kNotWave: return "Bad Wave Format !";
        case WaveResult::kNotFmt: return "Bad fmt Format !";
        case WaveResult::kNotPcm:
            return core::Format("Only uncompressed PCM samples supported ! %s holds %s samples (format 0x%04X).",
                                path.c_str(), formats::WaveFormatName(facts.format), facts.format);
        case WaveResult::kNotSixteenBits: return "Only 16 bits samples supported !";
        case WaveResult::kNot44100: return "Only 44.1 Khz samples supported !";
        case WaveResult::kTooManyChannels:
        case WaveResult::kNoChannels: return "Samples must be mono or stereo !";
        case WaveResult::kTooShort: return core::Format("File too short to be a WAV file : %s", path.c_str());
        case WaveResult::kNoDataChunk: return core::Format("No data chunk in %s", path.c_str());
        case WaveResult::kDataPastEnd:
            return core::Format("The data chunk runs past the end of %s", path.c_str());
        case WaveResult::kOk:
        case WaveResult::kCannotRead: break;
    }
    return {};
}

}  // namespace

int InspectWave(platform::Platform& platform, const std::string& path, SampleEntry& entry) {
    entry.fileSize = core::FileSize(path);
    if (static_cast<std::uint64_t>(entry.fileSize) > formats::kMaxWaveFileBytes) {
        platform.ShowMessage(core::Format("File too large (over 2 GiB) : %s", path.c_str()), "Information",
                             platform::Icon::kInformation);
        return 0;
    }
    const formats::WaveFacts facts = formats::ReadWaveFile(path);
    if (facts.result == formats::WaveResult::kCannotRead) {
        return 0;
    }
    if (facts.result != formats::WaveResult::kOk) {
        platform.ShowMessage(RefusalText(facts, path), "Information", platform::Icon::kInformation);
        return 0;
    }
    entry.rootKey = entry.leftKey = entry.rightKey = kDefaultKey;
    entry.velocityLow = 0;
    entry.velocityHigh = 127;
    entry.locked = 0;
    core::DebugPrint("%s: sample accepted\n", path.c_str());
    if (facts.hasSampler) {
        const auto note = static_cast<std::int32_t>(facts.unityNote);
        core::DebugPrint("%s: smpl chunk, unity note %i\n", path.c_str(), note);
        // The key fields and the note names cover 0..127 only.
        entry.rootKey = entry.leftKey = entry.rightKey = std::clamp(note, 0, 127);
    }
    return 1;
}

int AddSampleFile(platform::Platform& platform, const std::string& path, SampleEntry& entry) {
    entry.path = path;
    if (!core::FileExists(path)) {
        return 0;
    }
    return InspectWave(platform, path, entry);
}

int AddSampleFiles(platform::Platform& platform, const std::vector<std::string>& paths,
                   std::vector<SampleEntry>& entries) {
    int added = 0;
    for (const std::string& path : paths) {
        if (entries.size() >= kMaxSampleEntries) {
            platform.ShowMessage(core::Format("A multisample holds at most %i samples: %s and the files after it "
                                              "were not added.",
                                              static_cast<int>(kMaxSampleEntries), path.c_str()),
                                 "Information", platform::Icon::kInformation);
            break;
        }
        core::DebugPrint("Adding %s\n", path.c_str());
        SampleEntry entry;
        if (AddSampleFile(platform, path, entry) == 1) {
            entries.push_back(std::move(entry));
            ++added;
        } else {
            core::DebugPrint("%s not added\n", path.c_str());
        }
    }
    return added;
}

}  // namespace velmorant::create
