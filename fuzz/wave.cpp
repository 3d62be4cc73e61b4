// Feeds arbitrary bytes to the WAV checks and the sample-file conversion, and checks that
// reading the facts from a file agrees with reading them from memory and that a written
// sample file reads back with the header it was given.
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

#include "create/SampleConversion.h"
#include "formats/SampleFile.h"
#include "formats/WaveFile.h"

namespace {

// Never destroyed, so the exit handler that removes the files can still name them.
const std::string& ScratchPath() {
    static const std::string* const path = [] {
        auto* made = new std::string((std::filesystem::temp_directory_path() /
                                      ("velmorant-fuzz-wave-" + std::to_string(std::random_device{}())))
                                         .string());
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove(ScratchPath(), ec);
            std::filesystem::remove(ScratchPath() + ".afs", ec);
        });
        return made;
    }();
    return *path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmorant;
    const formats::WaveFacts facts = formats::ReadWave(std::span<const std::uint8_t>(data, size));
    {
        std::ofstream out(ScratchPath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const formats::WaveFacts fromFile = formats::ReadWaveFile(ScratchPath());
    if (fromFile.result != facts.result ||
        (facts.result == formats::WaveResult::kOk &&
         (fromFile.dataOffset != facts.dataOffset || fromFile.dataLength != facts.dataLength ||
          fromFile.hasSampler != facts.hasSampler || fromFile.unityNote != facts.unityNote ||
          fromFile.loopStart != facts.loopStart || fromFile.loopEnd != facts.loopEnd))) {
        std::abort();
    }
    if (facts.result != formats::WaveResult::kOk || facts.dataOffset > size) {
        return 0;
    }

    const std::optional<std::uint32_t> rootKey = std::optional<std::uint32_t>(data[0]);
    const std::string sample = ScratchPath() + ".afs";
    if (create::ConvertWaveToSample(ScratchPath(), sample, rootKey) != create::ConversionResult::kWritten) {
        std::abort();
    }
    // The sound written is the declared length rounded up to even, and the header reads back.
    const formats::SampleRead read = formats::ReadSampleFile(sample);
    const formats::SampleHeader expected = create::SampleHeaderFor(facts, rootKey);
    if (read.result != formats::SampleResult::kOk ||
        std::filesystem::file_size(sample) != formats::kSampleHeaderSize + formats::StoredSoundBytes(facts.dataLength) ||
        formats::EncodeSampleHeader(read.header) != formats::EncodeSampleHeader(expected)) {
        std::abort();
    }
    return 0;
}
