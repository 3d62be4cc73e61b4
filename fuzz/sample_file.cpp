// Reads arbitrary bytes as a sample file; a header that reads well encodes to the same header.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "formats/SampleFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmorant::formats;
    const SampleRead read = ReadSampleHeader(std::span<const std::uint8_t>(data, size));
    if (read.result != SampleResult::kOk) {
        if (read.problemOffset > size || DescribeSampleProblem("fuzz.afs", read).empty()) {
            std::abort();
        }
        return 0;
    }
    if (kSampleHeaderSize + StoredSoundBytes(read.header.soundLength) > size + 1) {
        std::abort();  // the declared sound lies inside the file (an odd length may miss its pad byte)
    }
    const auto encoded = EncodeSampleHeader(read.header);
    const SampleRead again = ReadSampleHeader(encoded);
    const SampleHeader& a = read.header;
    const SampleHeader& b = again.header;
    if ((again.result != SampleResult::kOk && again.result != SampleResult::kSoundPastEnd) ||
        a.soundLength != b.soundLength || a.stereo != b.stereo || a.rootKey != b.rootKey ||
        a.sampleRate != b.sampleRate || a.frames != b.frames || a.loopStart != b.loopStart || a.loopEnd != b.loopEnd) {
        std::abort();
    }
    return 0;
}
