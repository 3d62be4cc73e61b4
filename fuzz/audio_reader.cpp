// Feeds arbitrary bytes to the audio reader, the conversion and the loudness meter, and checks
// that a conversion that reports success delivered exactly the frames it planned; the same
// bytes as a file name go to the note finder, which must answer a key from 0 to 127.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <algorithm>

#include "audio/AudioFile.h"
#include "audio/Conversion.h"
#include "audio/Loudness.h"
#include "audio/RootKeys.h"

namespace {

class CountingSink final : public velmorant::audio::PcmSink {
public:
    bool Write(std::span<const std::int16_t> samples) override {
        count += samples.size();
        return true;
    }
    std::size_t count = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmorant::audio;
    const std::span<const std::uint8_t> bytes(data, size);
    const std::string name(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 256));
    for (const Notation notation : {Notation::kEnglish, Notation::kGerman, Notation::kMidiNumber}) {
        for (const MiddleC middleC : {MiddleC::kC3, MiddleC::kC4}) {
            const auto note = FindNoteInName(name, notation, middleC);
            if (note && (note->key < 0 || note->key > 127 || note->text.empty())) std::abort();
        }
    }
    auto opened = AudioReader::Open("fuzz.wav", std::make_unique<MemorySource>(bytes));
    if (!opened.reader) {
        if (opened.error.empty()) std::abort();
        return 0;
    }
    ConversionOptions options;
    options.downmixToStereo = size % 2 == 0;
    options.detectPitch = size % 3 == 0;
    const ConversionPlan plan = PlanConversion(opened.reader->info(), options);
    CountingSink sink;
    const ConversionResult result = Convert(*opened.reader, plan, sink);
    if (result.error.empty() &&
        (result.framesWritten != plan.outFrames || sink.count != plan.outFrames * static_cast<std::size_t>(plan.outChannels))) {
        std::abort();
    }
    if (plan.loopOut && plan.loopOut->end >= plan.outFrames) {
        std::abort();
    }
    auto again = AudioReader::Open("fuzz.wav", std::make_unique<MemorySource>(bytes));
    if (again.reader) {
        (void)MeasureLoudness(*again.reader, size % 2 == 0 ? LoudnessMode::kPeak : LoudnessMode::kLufs);
    }
    return 0;
}
