#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <string>
#include <vector>

#include "create/AudioSamples.h"
#include "create/SamplePlan.h"
#include "platform/Platform.h"

class QLabel;

namespace velmorant::ui {

// How an editor takes audio files, read once when it opens: strict (the setting, or a build
// without the decoder) keeps to 16-bit 44.1 kHz WAV files.
create::AudioIn EditorAudioIn(audio::MiddleC middleC);

// The file chooser's filters: WAV only when strict, all readable audio files first otherwise.
std::vector<platform::FileFilter> AudioFileFilters(bool strict);

// The common conversion, which the Conversion columns are wide enough to show whole.
inline constexpr const char* kWidestConversion = "24-bit 48000 Hz \u2192 16-bit 44100 Hz, dithered";

// The plan's line under an editor's lists keeps one line's height and never widens the editor,
// so no button moves when it changes; its whole text is also its tooltip.
void PreparePlanLine(QLabel* label);
void SetPlanLine(QLabel* label, const QString& text);

// What each file is and what building will do to it, in the command line's words: the
// probe's description and the plan until a build, then the build's report line. Each file is
// read once; the editors take no loudness target, so one file's plan never depends on another.
class AudioNotes {
public:
    explicit AudioNotes(const create::AudioIn& in) : in_(in) {}

    // The text for a tooltip; empty when the file cannot be described.
    QString forFile(const std::string& path);
    // The Conversion column of each file, in order.
    QStringList conversions(const std::vector<std::string>& paths);
    // The line beside the build button: the last build's summary while the files are the ones it
    // built, the plan over them otherwise.
    QString summary(const std::vector<std::string>& paths);
    // A build's outcome for each file it took.
    void setBuild(std::vector<std::string> paths, const std::vector<create::SampleOutcome>& outcomes);

private:
    void plan(const std::vector<std::string>& paths);
    std::vector<create::SamplePlan> plansOf(const std::vector<std::string>& paths);

    const create::AudioIn& in_;
    std::map<std::string, QString> notes_;
    std::map<std::string, create::SamplePlan> plans_;
    std::map<std::string, QString> built_;  // the Conversion column once built
    std::vector<std::string> builtPaths_;
    QString buildSummary_;
};

}  // namespace velmorant::ui
