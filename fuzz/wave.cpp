// Feeds arbitrary bytes to the WAV checks and the sample-file conversion, and checks that
// reading the facts from a file agrees with reading them from memory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "create/WaveFile.h"

namespace {

// Never destroyed, so the exit handler that removes the file can still name it.
const std::string& ScratchPath() {
    static const std::string* const path = [] {
        auto* made = new std::string((std::filesystem::temp_directory_path() /
                                      ("velmorant-fuzz-wave-" + std::to_string(std::random_device{}())))
                                         .string());
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove(ScratchPath(), ec);
        });
        return made;
    }();
    return *path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmorant::create;
    std::vector<std::uint8_t> wav(data, data + size);
    const WaveFacts facts = ReadWaveFacts(wav);

    {
        std::ofstream out(ScratchPath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::optional<WaveFacts> fromFile = ReadWaveFactsFromFile(ScratchPath());
    if (!fromFile || fromFile->check != facts.check ||
        (facts.check == WaveCheck::kOk &&
         (fromFile->dataOffset != facts.dataOffset || fromFile->dataLength != facts.dataLength ||
          fromFile->hasSampler != facts.hasSampler || fromFile->unityNote != facts.unityNote ||
          fromFile->loopStart != facts.loopStart || fromFile->loopEnd != facts.loopEnd))) {
        std::abort();
    }

    const std::optional<std::uint32_t> rootKey = size > 0 ? std::optional<std::uint32_t>(data[0]) : std::nullopt;
    const SampleFileParts parts = PrepareSampleFile(wav, rootKey);
    if ((facts.check == WaveCheck::kOk) != (parts.status == kConvertWritten)) {
        std::abort();
    }
    if (parts.status == kConvertWritten) {
        // The sound written is the declared length rounded up to even, and it came from inside the file.
        const std::size_t written = parts.payload.size() + parts.tailSize;
        if (written != ((static_cast<std::size_t>(facts.dataLength) + 1) & ~std::size_t{1}) ||
            facts.dataOffset + parts.payload.size() > size) {
            std::abort();
        }
    }
    return 0;
}
