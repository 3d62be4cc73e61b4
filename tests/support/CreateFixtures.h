#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/DrumKitFile.h"

namespace velmorant::testing {

// A WAV file made to measure, field by field, so a test can break any one of them.
struct WaveLayout {
    std::string riff = "RIFF";
    std::string wave = "WAVE";
    std::string fmt = "fmt ";
    std::uint16_t format = 1;               // PCM
    std::optional<std::uint16_t> subFormat;  // an extensible format chunk naming this format
    std::int16_t channels = 1;
    std::uint32_t sampleRate = 44100;
    std::uint16_t bitsPerSample = 16;
    std::vector<std::uint8_t> payload;             // the "data" chunk's bytes
    std::optional<std::uint32_t> declaredLength;   // defaults to the payload's size
    bool padOddPayload = true;                     // a pad byte after an odd payload
    bool withData = true;
    // A "smpl" chunk after the data: unity note, loop count and the first loop.
    std::optional<std::uint32_t> unityNote;
    std::int32_t loops = 0;
    std::uint32_t loopStart = 0;
    std::uint32_t loopEnd = 0;
};

std::vector<std::uint8_t> BuildWave(const WaveLayout& layout);
// A payload of n bytes counting 0x01, 0x02, ... so every byte's place can be checked.
std::vector<std::uint8_t> CountingPayload(std::size_t n);
// A mono (or stereo) WAV layout with a counting payload of n bytes.
WaveLayout CountingWave(std::size_t n, std::int16_t channels = 1);
// A mono sine tone of the given frames.
std::vector<std::uint8_t> TonePayload(int frames, double hz);

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
void WriteTextFile(const std::string& path, std::string_view text);
std::string WriteWave(const std::string& path, const WaveLayout& layout);

// The WAV paths and upper bounds of a kit key's layers, in order.
std::vector<std::string> LayerPaths(const formats::DrumKit& kit, int key);
std::vector<int> LayerBounds(const formats::DrumKit& kit, int key);

// `n` bytes of a file from `offset`; empty when the file is shorter.
std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t n);
// A name as a reference record stores it: zero padded to `width`, the bytes of each pair exchanged.
std::vector<std::uint8_t> PairSwapped(std::string_view text, std::size_t width);

// "53 38 30 73" -> bytes; blanks are ignored.
std::vector<std::uint8_t> Hex(std::string_view text);

}  // namespace velmorant::testing
