// Feeds arbitrary bytes to the WAV checks and, for a WAV they accept, streams the sample file
// the conversion writes into memory, then checks that it reads back with the header it was
// given and holds the declared sound, byte pairs exchanged. Nothing touches the disk.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include "create/SampleConversion.h"
#include "formats/SampleFile.h"
#include "formats/WaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmorant;
    const std::span<const std::uint8_t> wave(data, size);
    const formats::WaveFacts facts = formats::ReadWave(wave);
    if (facts.result != formats::WaveResult::kOk) {
        return 0;
    }
    if (facts.dataOffset > size || size - facts.dataOffset < facts.dataLength || facts.format != 1 ||
        facts.bitsPerSample != 16 || facts.sampleRate != 44100 || facts.channels < 1 || facts.channels > 2) {
        std::abort();  // an accepted WAV breaks the rules it was checked against
    }

    const std::optional<std::uint32_t> rootKey = std::optional<std::uint32_t>(data[0]);
    const formats::SampleHeader header = create::SampleHeaderFor(facts, rootKey);
    std::size_t at = facts.dataOffset;
    std::vector<std::uint8_t> sample;
    const auto result = formats::StreamSampleFile(
        header,
        [&](std::span<std::uint8_t> into) {
            const std::size_t n = std::min(into.size(), size - at);
            std::copy_n(data + at, n, into.begin());
            at += n;
            return n;
        },
        [&](std::span<const std::uint8_t> piece) {
            sample.insert(sample.end(), piece.begin(), piece.end());
            return true;
        });
    // The sound stored is the declared length rounded up to even, and the header reads back.
    const formats::SampleRead read = formats::ReadSampleHeader(sample);
    if (result != formats::SampleResult::kOk || read.result != formats::SampleResult::kOk ||
        sample.size() != formats::kSampleHeaderSize + formats::StoredSoundBytes(facts.dataLength) ||
        formats::EncodeSampleHeader(read.header) != formats::EncodeSampleHeader(header)) {
        std::abort();
    }
    for (std::size_t i = 0; i + 1 < facts.dataLength; i += 2) {
        const std::uint8_t* in = data + facts.dataOffset + i;
        const std::uint8_t* out = sample.data() + formats::kSampleHeaderSize + i;
        if (out[0] != in[1] || out[1] != in[0]) {
            std::abort();
        }
    }
    return 0;
}
