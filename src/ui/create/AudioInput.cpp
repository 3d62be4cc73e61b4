#include "ui/create/AudioInput.h"

#include <QLabel>

#include <algorithm>

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

void PreparePlanLine(QLabel* label) {
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    label->setFixedHeight(label->fontMetrics().height() + 4);
}

void SetPlanLine(QLabel* label, const QString& text) {
    label->setText(text);
    label->setToolTip(text);
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

void AudioNotes::plan(const std::vector<std::string>& paths) {
    std::vector<std::string> fresh;
    for (const std::string& path : paths) {
        if (!plans_.contains(path) && std::find(fresh.begin(), fresh.end(), path) == fresh.end()) {
            fresh.push_back(path);
        }
    }
    const std::vector<create::SamplePlan> planned = create::PlanSamples(fresh, in_);
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        plans_.emplace(fresh[i], planned[i]);
    }
}

QStringList AudioNotes::conversions(const std::vector<std::string>& paths) {
    plan(paths);
    QStringList texts;
    for (const std::string& path : paths) {
        const auto built = built_.find(path);
        texts << (built != built_.end() ? built->second : QString::fromStdString(plans_.at(path).text));
    }
    return texts;
}

QString AudioNotes::summary(const std::vector<std::string>& paths) {
    if (paths == builtPaths_ && !buildSummary_.isEmpty()) {
        return buildSummary_;
    }
    return QString::fromStdString(create::PlanSummary(plansOf(paths)));
}

std::vector<create::SamplePlan> AudioNotes::plansOf(const std::vector<std::string>& paths) {
    plan(paths);
    std::vector<create::SamplePlan> plans;
    for (const std::string& path : paths) {
        plans.push_back(plans_.at(path));
    }
    return plans;
}

void AudioNotes::setBuild(std::vector<std::string> paths, const std::vector<create::SampleOutcome>& outcomes) {
    // A build stopped before converting has no outcomes: its files keep their plan.
    paths.resize(std::min(paths.size(), outcomes.size()));
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const create::SampleOutcome& outcome = outcomes[i];
        const std::string& said =
            outcome.status == create::ConversionResult::kWritten ? outcome.report : create::SampleOutcomeText(outcome);
        notes_[paths[i]] = said.empty() ? QStringLiteral("Built unchanged") : QString::fromStdString(said);
        built_[paths[i]] = QString::fromStdString(create::OutcomeText(paths[i], outcome));
    }
    builtPaths_ = paths;
    buildSummary_ = QString::fromStdString(create::BuildSummary(plansOf(paths), outcomes));
}

}  // namespace velmorant::ui
