// Reads arbitrary bytes as a sample file; a header that reads well encodes to the same header.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

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
    // The header is read back with the file's sound behind it, as a file holds them.
    const auto header = EncodeSampleHeader(read.header);
    std::vector<std::uint8_t> encoded(header.begin(), header.end());
    encoded.insert(encoded.end(), data + kSampleHeaderSize, data + size);
    const SampleRead again = ReadSampleHeader(encoded);
    const SampleHeader& a = read.header;
    const SampleHeader& b = again.header;
    if (again.result != SampleResult::kOk ||
        a.soundLength != b.soundLength || a.stereo != b.stereo || a.rootKey != b.rootKey ||
        a.sampleRate != b.sampleRate || a.frames != b.frames || a.loopStart != b.loopStart || a.loopEnd != b.loopEnd) {
        std::abort();
    }
    return 0;
}
