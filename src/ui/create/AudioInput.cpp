#include "ui/create/AudioInput.h"

#include "audio/AudioSet.h"
#include "ui/NoteNaming.h"

namespace velmorant::ui {

create::AudioIn EditorAudioIn(audio::MiddleC middleC) {
    create::AudioIn in;
    in.strict = StrictAudioSetting() || !audio::HaveDecoder();
    in.set.middleC = middleC;
    return in;
}

std::vector<platform::FileFilter> AudioFileFilters(bool strict) {
    if (strict) {
        return {{"Wave files (.wav)", "*.wav"}};
    }
    return {{"Audio files (.wav .aif .aiff .flac)", "*.wav *.aif *.aiff *.flac"},
            {"Wave files (.wav)", "*.wav"},
            {"AIFF files (.aif .aiff)", "*.aif *.aiff"},
            {"FLAC files (.flac)", "*.flac"}};
}

QString AudioNotes::forFile(const std::string& path) {
    if (const auto found = notes_.find(path); found != notes_.end()) {
        return found->second;
    }
    QString text;
    if (audio::HaveDecoder()) {
        const audio::SetPlan plan = audio::PlanSet({path}, in_.set);
        text = QString::fromStdString(audio::DescribeSetText(plan, in_.set.middleC)).trimmed();
    }
    notes_.emplace(path, text);
    return text;
}

void AudioNotes::setOutcome(const std::string& path, const create::SampleOutcome& outcome) {
    const std::string& said = outcome.status == create::ConversionResult::kWritten ? outcome.report
                                                                                    : create::SampleOutcomeText(outcome);
    notes_[path] = said.empty() ? QStringLiteral("Built unchanged") : QString::fromStdString(said);
}

}  // namespace velmorant::ui
