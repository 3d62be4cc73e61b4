#pragma once

#include <QString>

#include <map>
#include <string>
#include <vector>

#include "create/AudioSamples.h"
#include "platform/Platform.h"

namespace velmorant::ui {

// How an editor takes audio files, read once when it opens: strict (the setting, or a build
// without the decoder) keeps to 16-bit 44.1 kHz WAV files.
create::AudioIn EditorAudioIn(audio::MiddleC middleC);

// The file chooser's filters: WAV only when strict, all readable audio files first otherwise.
std::vector<platform::FileFilter> AudioFileFilters(bool strict);

// What each file is and what building will do to it, in the command line's words: the
// probe's description until a build, then the build's report line. Each file is read once.
class AudioNotes {
public:
    explicit AudioNotes(const create::AudioIn& in) : in_(in) {}

    // The text for a tooltip; empty when the file cannot be described.
    QString forFile(const std::string& path);
    // A build's outcome for the file: its report line, or why it was not written.
    void setOutcome(const std::string& path, const create::SampleOutcome& outcome);

private:
    const create::AudioIn& in_;
    std::map<std::string, QString> notes_;
};

}  // namespace velmorant::ui
