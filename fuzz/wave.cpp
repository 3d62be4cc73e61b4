// Feeds arbitrary bytes to the WAV checks and the sample-file conversion.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "create/WaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> wav(data, data + size);
    const velmorant::create::WaveFacts facts = velmorant::create::ReadWaveFacts(wav);
    const std::optional<std::uint32_t> rootKey = size > 0 ? std::optional<std::uint32_t>(data[0]) : std::nullopt;
    const auto parts = velmorant::create::PrepareSampleFile(wav, rootKey);
    if ((facts.check == velmorant::create::WaveCheck::kOk) != (parts.status == velmorant::create::kConvertWritten)) {
        std::abort();
    }
    if (parts.status == velmorant::create::kConvertWritten) {
        // The sound written is the declared length rounded up to even, and it came from inside the file.
        const std::size_t written = parts.payload.size() + parts.tailSize;
        if (written != ((static_cast<std::size_t>(facts.dataLength) + 1) & ~std::size_t{1}) ||
            facts.dataOffset + parts.payload.size() > size) {
            std::abort();
        }
    }
    return 0;
}
