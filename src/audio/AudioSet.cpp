#include "audio/AudioSet.h"

#include <nlohmann/json.hpp>

#include <cmath>

#include "core/Parallel.h"
#include "core/Text.h"

namespace velmorant::audio {

bool SetPlan::ok() const {
    if (!loudnessError.empty()) return false;
    for (const FilePlan& f : files) {
        if (!f.error.empty()) return false;
    }
    return true;
}

SetPlan PlanSet(const std::vector<std::string>& paths, const SetOptions& options) {
    SetPlan set;
    set.files.resize(paths.size());
    core::RunInParallel(paths.size(), options.threads, [&](std::size_t i) {
        FilePlan& file = set.files[i];
        file.path = paths[i];
        auto opened = AudioReader::Open(paths[i]);
        if (!opened.reader) {
            file.error = opened.error;
            return;
        }
        file.info = opened.reader->info();
        file.plan = PlanConversion(file.info, options.conversion);
        file.error = file.plan.error;
    });

    std::vector<KeyClues> clues;
    std::vector<std::size_t> usable;
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        const FilePlan& f = set.files[i];
        if (f.error.empty()) {
            clues.push_back({f.info.name, f.info.facts.samplerKey, f.info.facts.instrumentKey});
            usable.push_back(i);
        }
    }
    const std::vector<RootKey> keys = ChooseRootKeys(clues, options.middleC, options.defaultKey);
    for (std::size_t k = 0; k < usable.size(); ++k) set.files[usable[k]].root = keys[k];

    if (options.loudness.mode != LoudnessMode::kNone && !usable.empty()) {
        std::vector<Measured> measured(usable.size());
        core::RunInParallel(usable.size(), options.threads, [&](std::size_t k) {
            auto opened = AudioReader::Open(set.files[usable[k]].path);
            measured[k] = opened.reader ? MeasureLoudness(*opened.reader, options.loudness.mode)
                                        : Measured{std::nullopt, opened.error};
        });
        std::vector<LoudnessMeasure> measures;
        for (const Measured& m : measured) {
            if (!m.measure) {
                set.loudnessError = m.error;
                return set;
            }
            measures.push_back(*m.measure);
        }
        set.gainDb = SetGainDb(measures, options.loudness);
        ConversionOptions withGain = options.conversion;
        withGain.gainDb = set.gainDb;
        for (const std::size_t i : usable) set.files[i].plan = PlanConversion(set.files[i].info, withGain);
    }
    return set;
}

std::vector<FileOutcome> ConvertSet(const SetPlan& set, const SetOptions& options,
                                    const std::function<std::unique_ptr<FinishingSink>(std::size_t, const FilePlan&)>& sinkFor) {
    std::vector<FileOutcome> outcomes(set.files.size());
    core::RunInParallel(set.files.size(), options.threads, [&](std::size_t i) {
        const FilePlan& file = set.files[i];
        FileOutcome& outcome = outcomes[i];
        if (!file.error.empty()) {
            outcome.result.error = file.error;
            return;
        }
        const std::unique_ptr<FinishingSink> sink = sinkFor(i, file);
        if (!sink) return;
        auto opened = AudioReader::Open(file.path);
        if (!opened.reader) {
            outcome.result.error = opened.error;
            return;
        }
        outcome.result = Convert(*opened.reader, file.plan, *sink);
        if (outcome.result.error.empty() && !sink->Finish()) {
            const std::string reason = sink->FailureReason();
            outcome.result.error =
                file.info.name + ": the sample file cannot be written" + (reason.empty() ? "" : " (" + reason + ")");
        }
        std::vector<std::string> notes = file.root.notes;
        if (outcome.result.pitchHz) {
            if (auto note = PitchDisagreement(*outcome.result.pitchHz, file.root.key, options.middleC)) {
                notes.push_back(std::move(*note));
            }
        }
        if (file.plan.changesSound() || !notes.empty() || outcome.result.clippedSamples > 0) {
            outcome.report = ReportLine(file.info, file.plan, outcome.result, notes);
        }
    });
    return outcomes;
}

namespace {

std::string ChannelsText(int channels) {
    return channels == 1 ? "mono" : channels == 2 ? "stereo" : core::Format("%d channels", channels);
}

}  // namespace

std::string PlanText(const FilePlan& f) {
    const std::string line = ReportLine(f.info, f.plan, {});
    return line.substr(f.info.name.size() + 2);
}

std::string DescribeSetText(const SetPlan& set, MiddleC middleC) {
    std::string text;
    for (const FilePlan& f : set.files) {
        if (!f.error.empty()) {
            text += f.error + "\n";
            continue;
        }
        const AudioInfo& i = f.info;
        text += core::Format("%s: %s, %s, %d Hz, %s, %llu frames (%.3f s)\n", i.name.c_str(),
                             ContainerText(i.facts.container).c_str(), EncodingText(i.encoding).c_str(), i.sampleRate,
                             ChannelsText(i.channels).c_str(), static_cast<unsigned long long>(i.frames),
                             static_cast<double>(i.frames) / i.sampleRate);
        text += core::Format("  root key %s (%d) from the %s", NoteName(f.root.key, middleC).c_str(), f.root.key,
                             EvidenceText(f.root.evidence).c_str());
        if (f.root.evidence == KeyEvidence::kSampler && i.facts.samplerFineCents != 0) {
            text += core::Format(", fine tune %+.1f cents", i.facts.samplerFineCents);
        }
        text += "\n";
        for (const std::string& note : f.root.notes) text += "  " + note + "\n";
        if (i.facts.loop) {
            text += core::Format("  loop %llu\u2013%llu\n", static_cast<unsigned long long>(i.facts.loop->start),
                                 static_cast<unsigned long long>(i.facts.loop->end));
        }
        text += f.plan.changesSound() ? "  conversion: " + PlanText(f) + "\n" : "  conversion: none needed\n";
    }
    if (!set.loudnessError.empty()) text += set.loudnessError + "\n";
    if (set.gainDb != 0.0) text += core::Format("gain for the whole set: %+.2f dB\n", set.gainDb);
    return text;
}

std::string DescribeSetJson(const SetPlan& set, MiddleC middleC) {
    nlohmann::ordered_json files = nlohmann::ordered_json::array();
    for (const FilePlan& f : set.files) {
        nlohmann::ordered_json j;
        j["file"] = f.path;
        if (!f.error.empty()) {
            j["error"] = f.error;
            files.push_back(j);
            continue;
        }
        const AudioInfo& i = f.info;
        j["container"] = ContainerText(i.facts.container);
        j["encoding"] = EncodingText(i.encoding);
        j["sampleRate"] = i.sampleRate;
        j["channels"] = i.channels;
        j["frames"] = i.frames;
        j["rootKey"] = {{"key", f.root.key},
                        {"name", NoteName(f.root.key, middleC)},
                        {"evidence", EvidenceText(f.root.evidence)},
                        {"notes", f.root.notes}};
        if (i.facts.hasSampler) j["fineTuneCents"] = i.facts.samplerFineCents;
        if (i.facts.loop) j["loop"] = {{"start", i.facts.loop->start}, {"end", i.facts.loop->end}};
        nlohmann::ordered_json c;
        c["changesSound"] = f.plan.changesSound();
        c["frames"] = f.plan.outFrames;
        c["channels"] = f.plan.outChannels;
        c["resample"] = f.plan.resample;
        c["dither"] = f.plan.dither;
        c["gainDb"] = f.plan.gainDb;
        if (f.plan.loopOut) c["loop"] = {{"start", f.plan.loopOut->start}, {"end", f.plan.loopOut->end}};
        if (f.plan.changesSound()) c["report"] = PlanText(f);
        j["conversion"] = c;
        files.push_back(j);
    }
    nlohmann::ordered_json doc;
    doc["middleC"] = middleC == MiddleC::kC3 ? "C3" : "C4";
    doc["files"] = files;
    if (!set.loudnessError.empty()) doc["loudnessError"] = set.loudnessError;
    doc["gainDb"] = set.gainDb;
    return doc.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace velmorant::audio
