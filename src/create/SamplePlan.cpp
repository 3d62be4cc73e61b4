#include "create/SamplePlan.h"

#include <algorithm>
#include <set>

#include "audio/AudioSet.h"
#include "core/File.h"
#include "core/Path.h"
#include "core/Text.h"
#include "formats/WaveFile.h"

namespace velmorant::create {

namespace {

SamplePlan Refused(const std::string& why) { return {SamplePlan::Kind::kRefused, "refused: " + why}; }

SamplePlan AsIs() { return {SamplePlan::Kind::kAsIs, "as is"}; }

SamplePlan ExactPlan(const std::string& path) {
    if (!core::FileExists(path)) {
        return Refused(ConversionResultText(ConversionResult::kNoSource));
    }
    const formats::WaveFacts facts = formats::ReadWaveFile(path);
    return facts.result == formats::WaveResult::kOk ? AsIs() : Refused(formats::WaveResultText(facts.result));
}

// The list beside the text names the file already.
std::string WithoutName(const std::string& path, const std::string& text) {
    const std::string name = core::PathFileName(path) + ": ";
    return text.starts_with(name) ? text.substr(name.size()) : text;
}

SamplePlan AudioPlan(const audio::FilePlan& file) {
    if (!file.error.empty()) {
        return Refused(WithoutName(file.path, file.error));
    }
    if (!file.plan.changesSound()) {
        return AsIs();
    }
    SamplePlan plan{SamplePlan::Kind::kConverted, audio::PlanText(file)};
    plan.fromRate = file.plan.resample ? file.info.sampleRate : 0;
    plan.downmix = file.plan.downmix;
    plan.requantize = file.plan.requantize;
    plan.dither = file.plan.dither;
    return plan;
}

std::string Samples(int count) { return count == 1 ? "sample" : "samples"; }

std::string Count(int count, int total) {
    return core::Format("%d of %d %s", count, total, Samples(total).c_str());
}

// What the converted files have in common: "resampled 48000 → 44100 Hz, dithered".
std::string Changes(const std::vector<SamplePlan>& plans) {
    std::set<int> rates;
    bool downmix = false;
    bool dithered = false;
    bool rounded = false;
    for (const SamplePlan& plan : plans) {
        if (plan.kind != SamplePlan::Kind::kConverted) continue;
        if (plan.fromRate > 0) rates.insert(plan.fromRate);
        downmix = downmix || plan.downmix;
        dithered = dithered || (plan.requantize && plan.dither);
        rounded = rounded || (plan.requantize && !plan.dither);
    }
    std::vector<std::string> changes;
    if (!rates.empty()) {
        std::string from;
        for (const int rate : rates) from += (from.empty() ? "" : ", ") + std::to_string(rate);
        changes.push_back(core::Format("resampled %s \u2192 %d Hz", from.c_str(), audio::kTargetRate));
    }
    if (downmix) changes.push_back("down-mixed to stereo");
    if (dithered) changes.push_back("dithered");
    if (rounded) changes.push_back("rounded without dither");
    std::string text;
    for (const std::string& change : changes) text += (text.empty() ? ": " : ", ") + change;
    return text;
}

int CountOf(const std::vector<SamplePlan>& plans, SamplePlan::Kind kind) {
    return static_cast<int>(std::count_if(plans.begin(), plans.end(), [kind](const SamplePlan& p) { return p.kind == kind; }));
}

}  // namespace

std::vector<SamplePlan> PlanSamples(const std::vector<std::string>& paths, const AudioIn& in) {
    std::vector<SamplePlan> plans(paths.size());
    std::vector<std::string> audioPaths;
    std::vector<std::size_t> audioAt;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (TakesExactPath(paths[i], in)) {
            plans[i] = ExactPlan(paths[i]);
        } else {
            audioPaths.push_back(paths[i]);
            audioAt.push_back(i);
        }
    }
    if (audioPaths.empty()) {
        return plans;
    }
    const audio::SetPlan set = audio::PlanSet(audioPaths, in.set);
    for (std::size_t k = 0; k < audioAt.size(); ++k) {
        plans[audioAt[k]] = set.loudnessError.empty() ? AudioPlan(set.files[k]) : Refused(set.loudnessError);
    }
    return plans;
}

std::string PlanSummary(const std::vector<SamplePlan>& plans) {
    const int total = static_cast<int>(plans.size());
    const int converted = CountOf(plans, SamplePlan::Kind::kConverted);
    const int refused = CountOf(plans, SamplePlan::Kind::kRefused);
    if (total == 0) {
        return {};
    }
    if (converted == 0 && refused == 0) {
        return total == 1 ? "The sample will be built as it is."
                          : core::Format("All %d samples will be built as they are.", total);
    }
    std::string text;
    if (converted > 0) {
        text = Count(converted, total) + " will be converted" + Changes(plans);
    }
    if (refused > 0) {
        text += text.empty() ? Count(refused, total) + " will be refused" : core::Format("; %d will be refused", refused);
        text += " and stop the build";
    }
    return text;
}

std::string OutcomeText(const std::string& path, const SampleOutcome& outcome) {
    if (outcome.status != ConversionResult::kWritten) {
        return "failed: " + WithoutName(path, outcome.status == ConversionResult::kAudioRefused ? outcome.error
                                                                                             : SampleOutcomeText(outcome));
    }
    return outcome.report.empty() ? "as is" : WithoutName(path, outcome.report);
}

std::string BuildSummary(const std::vector<SamplePlan>& plans, const std::vector<SampleOutcome>& outcomes) {
    const int total = static_cast<int>(outcomes.size());
    int failed = 0;
    int noted = 0;  // built unchanged, yet with something to say (a pitch far from its key, clipping)
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        const bool converted = i < plans.size() && plans[i].kind == SamplePlan::Kind::kConverted;
        failed += outcomes[i].status != ConversionResult::kWritten ? 1 : 0;
        noted += outcomes[i].status == ConversionResult::kWritten && !converted && !outcomes[i].report.empty() ? 1 : 0;
    }
    if (total == 0) {
        return {};
    }
    if (failed > 0) {
        return "Nothing was built: " + Count(failed, total) + " could not be converted.";
    }
    const int converted = CountOf(plans, SamplePlan::Kind::kConverted);
    std::string text = converted > 0     ? "Built: " + Count(converted, total) + " converted" + Changes(plans)
                       : total == 1      ? "Built: the sample as it was"
                                         : core::Format("Built: all %d samples as they were", total);
    if (noted > 0) {
        text += core::Format("; %d with a note in the Conversion column", noted);
    }
    return text + ".";
}

}  // namespace velmorant::create
