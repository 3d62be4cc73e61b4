#pragma once

#include <optional>
#include <span>

namespace velmorant::audio {

// The fundamental frequency of a pitched sound in Hz (YIN over several windows, the median
// taken), or nullopt for noise, silence or a sound too short to tell.
std::optional<double> DetectPitch(std::span<const float> mono, int sampleRate);

// The MIDI key (fractional) of a frequency: 440 Hz is 69.
double KeyOfFrequency(double hz);

}  // namespace velmorant::audio
