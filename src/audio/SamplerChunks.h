#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "audio/ByteSource.h"

namespace velmorant::audio {

// A sustain loop in sample frames; `end` is the last frame played (inclusive), as in a
// WAV "smpl" loop record and as the sample file stores it.
struct LoopPoints {
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    bool operator==(const LoopPoints&) const = default;
};

enum class Container { kUnknown, kWav, kAiff, kFlac };

// What the file's own chunks say, read without the decoder: libsndfile folds a negative fine
// tune the wrong way, shifts loop ends by one and ignores "inst", so the chunks are parsed here.
struct ContainerFacts {
    Container container = Container::kUnknown;

    // WAV "smpl". A fine tune below zero is stored as the note below plus a fraction above
    // one half; it is folded back, so `samplerKey` is the nearest note and the cents lie
    // within -50..+50.
    bool hasSampler = false;
    std::uint32_t samplerUnityNote = 0;  // as stored
    std::optional<int> samplerKey;       // 0..127, absent when the stored note lies outside
    double samplerFineCents = 0;

    // WAV "inst" or AIFF "INST".
    std::optional<int> instrumentKey;
    int instrumentFineCents = 0;

    // The first "smpl" loop, or the AIFF sustain loop through its "MARK" markers.
    std::optional<LoopPoints> loop;

    // The declared sound size: a WAV "data" chunk, or an AIFF "COMM" frame count times its
    // frame size. Reading stops where the file says the sound ends.
    std::optional<std::uint64_t> declaredFrames;

    // Empty when the chunk layout is sound; otherwise why the file cannot be trusted.
    std::string problem;
};

// Reads only chunk heads and the small metadata chunks, whatever the file's size.
ContainerFacts ReadContainerFacts(ByteSource& source);

// The smpl unity note and pitch fraction as the nearest note and the cents from it.
struct FoldedNote {
    std::int64_t key = 0;
    double cents = 0;
};
FoldedNote FoldSamplerNote(std::uint32_t unityNote, std::uint32_t pitchFraction);

}  // namespace velmorant::audio
