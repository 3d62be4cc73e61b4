#include "create/SampleConversion.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include "core/Debug.h"
#include "core/File.h"
#include "core/FileHandle.h"
#include "core/Text.h"

namespace velmorant::create {

namespace {

ConversionResult FromWave(formats::WaveResult result) {
    using formats::WaveResult;
    switch (result) {
        case WaveResult::kOk: return ConversionResult::kWritten;
        case WaveResult::kNotRiff: return ConversionResult::kNotRiff;
        case WaveResult::kNotWave: return ConversionResult::kNotWave;
        case WaveResult::kNotFmt: return ConversionResult::kNotFmt;
        case WaveResult::kNotPcm: return ConversionResult::kNotPcm;
        case WaveResult::kNotSixteenBits: return ConversionResult::kNotSixteenBits;
        case WaveResult::kNot44100: return ConversionResult::kNot44100;
        case WaveResult::kTooManyChannels: return ConversionResult::kTooManyChannels;
        case WaveResult::kTooShort: return ConversionResult::kTooShort;
        case WaveResult::kNoChannels: return ConversionResult::kNoChannels;
        case WaveResult::kNoDataChunk: return ConversionResult::kNoDataChunk;
        case WaveResult::kDataPastEnd: return ConversionResult::kDataPastEnd;
        case WaveResult::kCannotRead: break;
    }
    return ConversionResult::kCannotRead;
}

}  // namespace

formats::SampleHeader SampleHeaderFor(const formats::WaveFacts& facts, std::optional<std::uint32_t> rootKey) {
    formats::SampleHeader header;
    header.soundLength = facts.dataLength;
    header.stereo = facts.channels == 2;
    const std::uint32_t frameBytes = 2u * static_cast<std::uint32_t>(facts.channels > 0 ? facts.channels : 1);
    header.frames = facts.dataLength / frameBytes;
    if (facts.hasSampler) {
        header.rootKey = static_cast<std::uint8_t>(facts.unityNote & 0xFFu);
        if (facts.hasLoop) {
            header.loopStart = facts.loopStart;
            header.loopEnd = facts.loopEnd;
        }
    }
    // The caller's key is applied last so that it wins over the WAV's own.
    if (rootKey && *rootKey >= 1 && *rootKey <= 128) {
        header.rootKey = static_cast<std::uint8_t>(*rootKey & 0xFFu);
    }
    return header;
}

ConversionResult ConvertWaveToSample(const std::string& source, const std::string& destination,
                                     std::optional<std::uint32_t> rootKey, std::string* detail) {
    core::DebugPrint("Converting file : %s to %s\n", source.c_str(), destination.c_str());
    std::string ignored;
    std::string& why = detail != nullptr ? *detail : ignored;
    why.clear();
    if (!core::FileExists(source)) {
        return ConversionResult::kNoSource;
    }
    const formats::WaveFacts facts = formats::ReadWaveFile(source);
    if (facts.result != formats::WaveResult::kOk) {
        core::DebugPrint("%s\n", formats::DescribeWaveProblem(source, facts).c_str());
        if (facts.result == formats::WaveResult::kNotPcm) {
            why = core::Format("%s holds %s samples, format 0x%04X", source.c_str(),
                               formats::WaveFormatName(facts.format), facts.format);
        }
        return FromWave(facts.result);
    }
    const core::FilePtr file(core::OpenFile(source, "rb"));
    if (!file || std::fseek(file.get(), static_cast<long>(facts.dataOffset), SEEK_SET) != 0) {
        return ConversionResult::kCannotRead;
    }
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    core::FileStatus written;
    switch (formats::WriteSampleFile(destination, SampleHeaderFor(facts, rootKey), file.get(), &written)) {
        case formats::SampleResult::kOk: return ConversionResult::kWritten;
        case formats::SampleResult::kCannotRead: return ConversionResult::kCannotRead;
        default:
            why = core::Format("%s: %s", destination.c_str(), written.Reason().c_str());
            return ConversionResult::kCannotCreate;
    }
}

std::string SampleOutcomeText(const SampleOutcome& outcome) {
    if (outcome.status == ConversionResult::kAudioRefused) {
        return outcome.error;
    }
    std::string text = core::Format("status %i, %s", ConversionCode(outcome.status),
                                    ConversionResultText(outcome.status).c_str());
    return outcome.error.empty() ? text : text + " (" + outcome.error + ")";
}

std::vector<SampleOutcome> ConvertWavesToSamples(const std::vector<ConversionJob>& jobs) {
    std::vector<SampleOutcome> results(jobs.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < jobs.size(); i = next++) {
            results[i].status = ConvertWaveToSample(jobs[i].wave, jobs[i].sample, jobs[i].rootKey, &results[i].error);
        }
    };
    // Reading, swapping and writing one file overlaps with another's.
    const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t helpers = std::min<std::size_t>({hardware, 4, jobs.size()}) - (jobs.empty() ? 0 : 1);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < helpers; ++t) {
        threads.emplace_back(work);
    }
    work();
    for (std::thread& thread : threads) {
        thread.join();
    }
    return results;
}

std::string ConversionResultText(ConversionResult result) {
    switch (result) {
        case ConversionResult::kWritten: return "the sample file was written";
        case ConversionResult::kNoSource: return "the WAV file does not exist";
        case ConversionResult::kCannotCreate: return "the sample file cannot be created";
        case ConversionResult::kAudioRefused: return "the audio file cannot be converted";
        case ConversionResult::kCannotRead: return formats::WaveResultText(formats::WaveResult::kCannotRead);
        default: break;
    }
    // The remaining results are the WAV reader's refusals, told in its words.
    for (int r = 0; r <= static_cast<int>(formats::WaveResult::kCannotRead); ++r) {
        const auto wave = static_cast<formats::WaveResult>(r);
        if (FromWave(wave) == result) {
            return formats::WaveResultText(wave);
        }
    }
    return core::Format("unknown status %i", ConversionCode(result));
}

}  // namespace velmorant::create
