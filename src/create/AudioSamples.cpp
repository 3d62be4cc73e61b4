#include "create/AudioSamples.h"

#include <algorithm>

#include "audio/PcmFileSink.h"
#include "core/File.h"
#include "core/Text.h"
#include "formats/SampleFile.h"
#include "formats/WaveFile.h"

namespace velmorant::create {

namespace {

bool NeedsNoConversion(const std::string& path) {
    return formats::ReadWaveFile(path).result == formats::WaveResult::kOk;
}

formats::SampleHeader HeaderFor(const audio::FilePlan& file, std::uint32_t rootKey) {
    formats::SampleHeader header;
    header.frames = static_cast<std::uint32_t>(file.plan.outFrames);
    header.stereo = file.plan.outChannels == 2;
    header.soundLength = header.frames * 2u * static_cast<std::uint32_t>(file.plan.outChannels);
    header.rootKey = static_cast<std::uint8_t>(rootKey & 0xFFu);
    if (file.plan.loopOut) {
        header.loopStart = static_cast<std::uint32_t>(file.plan.loopOut->start);
        header.loopEnd = static_cast<std::uint32_t>(file.plan.loopOut->end);
    }
    return header;
}

}  // namespace

bool TakesExactPath(const std::string& path, const AudioIn& in) {
    const bool oneGain = in.set.loudness.mode != audio::LoudnessMode::kNone;
    return in.strict || !core::FileExists(path) || (!oneGain && NeedsNoConversion(path));
}

std::vector<SampleOutcome> ConvertSampleFiles(const std::vector<ConversionJob>& jobs, const AudioIn& in) {
    std::vector<SampleOutcome> outcomes(jobs.size());
    std::vector<ConversionJob> exact;
    std::vector<std::size_t> exactAt;
    std::vector<std::size_t> audioAt;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (TakesExactPath(jobs[i].wave, in)) {
            exact.push_back(jobs[i]);
            exactAt.push_back(i);
        } else {
            audioAt.push_back(i);
        }
    }
    std::vector<SampleOutcome> converted = ConvertWavesToSamples(exact);
    for (std::size_t k = 0; k < exactAt.size(); ++k) outcomes[exactAt[k]] = std::move(converted[k]);
    if (audioAt.empty()) {
        return outcomes;
    }

    std::vector<std::string> paths;
    for (const std::size_t i : audioAt) paths.push_back(jobs[i].wave);
    audio::SetPlan set = audio::PlanSet(paths, in.set);
    for (std::size_t k = 0; k < audioAt.size(); ++k) {
        // The caller's key wins, as on the exact path, and is the one the pitch is checked against.
        const auto& key = jobs[audioAt[k]].rootKey;
        if (key && *key >= 1 && *key <= 128) set.files[k].root.key = static_cast<int>(*key);
    }
    const auto results = audio::ConvertSet(set, in.set, [&](std::size_t k, const audio::FilePlan& file)
                                           -> std::unique_ptr<audio::FinishingSink> {
        if (!set.loudnessError.empty()) return nullptr;
        const auto header = formats::EncodeSampleHeader(HeaderFor(file, static_cast<std::uint32_t>(file.root.key)));
        return std::make_unique<audio::PcmFileSink>(jobs[audioAt[k]].sample, header);
    });
    for (std::size_t k = 0; k < audioAt.size(); ++k) {
        SampleOutcome& outcome = outcomes[audioAt[k]];
        outcome.error = !set.loudnessError.empty() ? set.loudnessError : results[k].result.error;
        outcome.report = results[k].report;
        if (!outcome.error.empty()) outcome.status = ConversionResult::kAudioRefused;
    }
    return outcomes;
}

bool ConvertBuildSamples(platform::Platform& platform, const std::string& programPath,
                         const std::vector<ConversionJob>& jobs, const AudioIn& in,
                         std::vector<SampleOutcome>& outcomes) {
    std::vector<bool> existed;
    for (const ConversionJob& job : jobs) existed.push_back(core::StatFile(job.sample).has_value());
    outcomes = ConvertSampleFiles(jobs, in);
    std::string failures;
    int failed = 0;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const SampleOutcome& outcome = outcomes[i];
        if (outcome.status == ConversionResult::kWritten) continue;
        ++failed;
        // The audio path's reason names its file already.
        failures += "\n" + (outcome.status == ConversionResult::kAudioRefused
                                ? outcome.error
                                : jobs[i].wave + ": " + SampleOutcomeText(outcome));
    }
    if (failed == 0) {
        return true;
    }
    // Samples nobody else had written would only be left lying about.
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (outcomes[i].status == ConversionResult::kWritten && !existed[i]) core::RemoveFile(jobs[i].sample);
    }
    platform.ShowMessage(core::Format("%s was not written: %i of %i samples could not be converted.%s",
                                      programPath.c_str(), failed, static_cast<int>(jobs.size()), failures.c_str()),
                         "Error", platform::Icon::kStop);
    return false;
}

int AddAudioFiles(platform::Platform& platform, const std::vector<std::string>& paths,
                  std::vector<SampleEntry>& entries, const AudioIn& in) {
    if (in.strict) {
        return AddSampleFiles(platform, paths, entries);
    }
    audio::SetOptions options = in.set;
    options.defaultKey = SampleEntry{}.rootKey;
    const audio::SetPlan set = audio::PlanSet(paths, options);
    int added = 0;
    for (const audio::FilePlan& file : set.files) {
        if (entries.size() >= kMaxSampleEntries) {
            break;
        }
        SampleEntry entry;
        if (!in.autoKeys && core::FileExists(file.path) && NeedsNoConversion(file.path)) {
            if (AddSampleFile(platform, file.path, entry) == 1) {
                entries.push_back(entry);
                ++added;
            }
            continue;
        }
        if (!file.error.empty()) {
            platform.ShowMessage(file.error, "Information", platform::Icon::kInformation);
            continue;
        }
        entry.path = file.path;
        entry.fileSize = core::FileSize(file.path);
        const auto& facts = file.info.facts;
        const int key = in.autoKeys          ? file.root.key
                        : facts.samplerKey    ? *facts.samplerKey
                        : facts.instrumentKey ? *facts.instrumentKey
                                              : entry.rootKey;
        entry.rootKey = entry.leftKey = entry.rightKey = key;
        entries.push_back(entry);
        ++added;
    }
    return added;
}

}  // namespace velmorant::create
