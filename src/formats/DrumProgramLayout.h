#pragma once

#include <cstddef>

namespace velmorant::formats {

// A drum program holds 64 oscillators of 4 zones after a fixed header; both the reader that
// follows its references and the builder that writes it use these numbers.
inline constexpr std::size_t kDrumProgramSize = 28280;
inline constexpr std::size_t kDrumOscillatorsOffset = 368;  // 80 + 2 mods + 1 envelope
inline constexpr std::size_t kDrumOscillatorSize = 424;
inline constexpr std::size_t kDrumOscillators = 64;
inline constexpr std::size_t kDrumZonesPerOscillator = 4;
inline constexpr std::size_t kDrumZoneSize = 96;
// Within a zone.
inline constexpr std::size_t kDrumZoneUpperVelocity = 8;
inline constexpr std::size_t kDrumZoneEnabled = 9;
inline constexpr std::size_t kDrumZoneReference = 12;  // a 64-byte reference record
// Within an oscillator: the key it plays. A kit's key index k plays key k + 17.
inline constexpr std::size_t kDrumOscillatorKey = 397;
inline constexpr int kDrumProgramKeyOffset = 17;

inline constexpr std::size_t DrumOscillatorOffset(std::size_t oscillator) {
    return kDrumOscillatorsOffset + kDrumOscillatorSize * oscillator;
}
inline constexpr std::size_t DrumZoneOffset(std::size_t oscillator, std::size_t zone) {
    return DrumOscillatorOffset(oscillator) + kDrumZoneSize * zone;
}

}  // namespace velmorant::formats
