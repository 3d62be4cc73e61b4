#pragma once

#include "audio/RootKeys.h"

namespace velmorant::ui {

// How both instrument editors number octaves in note names; the same choice the CLI
// takes as --middle-c, kept between runs.
audio::MiddleC MiddleCSetting();
void SetMiddleCSetting(audio::MiddleC middleC);

// Strict: both editors take only 16-bit 44.1 kHz WAV files and refuse the rest as they always
// did; otherwise AIFF, FLAC and other WAV files are converted when built. Kept between runs.
bool StrictAudioSetting();
void SetStrictAudioSetting(bool strict);

}  // namespace velmorant::ui
