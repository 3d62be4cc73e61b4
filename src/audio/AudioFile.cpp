#include "audio/AudioFile.h"

#ifdef VELMORANT_AUDIO_LIBRARIES
#include <sndfile.h>
#endif

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "core/File.h"
#include "core/Text.h"

namespace velmorant::audio {

namespace {

#ifdef VELMORANT_AUDIO_LIBRARIES
constexpr int kLowestRate = 1000;
constexpr int kHighestRate = 768000;

struct VirtualFile {
    std::unique_ptr<ByteSource> source;
    sf_count_t position = 0;
};

sf_count_t VirtualLength(void* user) {
    return static_cast<sf_count_t>(static_cast<VirtualFile*>(user)->source->size());
}
sf_count_t VirtualSeek(sf_count_t offset, int whence, void* user) {
    auto* file = static_cast<VirtualFile*>(user);
    const auto size = static_cast<sf_count_t>(file->source->size());
    sf_count_t base = 0;
    if (whence == SEEK_CUR) base = file->position;
    if (whence == SEEK_END) base = size;
    const sf_count_t target = base + offset;
    if (target < 0) return -1;
    file->position = target;
    return target;
}
sf_count_t VirtualRead(void* data, sf_count_t count, void* user) {
    auto* file = static_cast<VirtualFile*>(user);
    if (count <= 0 || file->position < 0) return 0;
    const std::size_t got = file->source->read(static_cast<std::uint64_t>(file->position),
                                               {static_cast<std::uint8_t*>(data), static_cast<std::size_t>(count)});
    file->position += static_cast<sf_count_t>(got);
    return static_cast<sf_count_t>(got);
}
sf_count_t VirtualWrite(const void*, sf_count_t, void*) { return 0; }
sf_count_t VirtualTell(void* user) { return static_cast<VirtualFile*>(user)->position; }

std::optional<Encoding> EncodingOf(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8: return Encoding::kPcm8;
        case SF_FORMAT_PCM_16: return Encoding::kPcm16;
        case SF_FORMAT_PCM_24: return Encoding::kPcm24;
        case SF_FORMAT_PCM_32: return Encoding::kPcm32;
        case SF_FORMAT_FLOAT: return Encoding::kFloat32;
        case SF_FORMAT_DOUBLE: return Encoding::kFloat64;
        default: return std::nullopt;
    }
}

Speaker SpeakerOf(int position) {
    switch (position) {
        case SF_CHANNEL_MAP_LEFT:
        case SF_CHANNEL_MAP_FRONT_LEFT:
        case SF_CHANNEL_MAP_REAR_LEFT:
        case SF_CHANNEL_MAP_SIDE_LEFT:
        case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER:
        case SF_CHANNEL_MAP_TOP_FRONT_LEFT:
        case SF_CHANNEL_MAP_TOP_REAR_LEFT: return Speaker::kLeft;
        case SF_CHANNEL_MAP_RIGHT:
        case SF_CHANNEL_MAP_FRONT_RIGHT:
        case SF_CHANNEL_MAP_REAR_RIGHT:
        case SF_CHANNEL_MAP_SIDE_RIGHT:
        case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER:
        case SF_CHANNEL_MAP_TOP_FRONT_RIGHT:
        case SF_CHANNEL_MAP_TOP_REAR_RIGHT: return Speaker::kRight;
        case SF_CHANNEL_MAP_MONO:
        case SF_CHANNEL_MAP_CENTER:
        case SF_CHANNEL_MAP_REAR_CENTER:
        case SF_CHANNEL_MAP_TOP_CENTER:
        case SF_CHANNEL_MAP_TOP_FRONT_CENTER:
        case SF_CHANNEL_MAP_TOP_REAR_CENTER: return Speaker::kCentre;
        case SF_CHANNEL_MAP_LFE: return Speaker::kLowFrequency;
        default: return Speaker::kUnknown;
    }
}

#endif
}  // namespace

struct AudioReader::Handle {
#ifdef VELMORANT_AUDIO_LIBRARIES
    VirtualFile file;
    SNDFILE* sound = nullptr;
    ~Handle() {
        if (sound != nullptr) sf_close(sound);
    }
#endif
};

bool HaveDecoder() {
#ifdef VELMORANT_AUDIO_LIBRARIES
    return true;
#else
    return false;
#endif
}

std::string EncodingText(Encoding encoding) {
    switch (encoding) {
        case Encoding::kPcm8: return "8-bit";
        case Encoding::kPcm16: return "16-bit";
        case Encoding::kPcm24: return "24-bit";
        case Encoding::kPcm32: return "32-bit";
        case Encoding::kFloat32: return "32-bit float";
        case Encoding::kFloat64: return "64-bit float";
    }
    return "?";
}

std::string ContainerText(Container container) {
    switch (container) {
        case Container::kWav: return "WAV";
        case Container::kAiff: return "AIFF";
        case Container::kFlac: return "FLAC";
        case Container::kUnknown: break;
    }
    return "unknown";
}

AudioReader::AudioReader(std::unique_ptr<Handle> handle, AudioInfo info)
    : handle_(std::move(handle)), info_(std::move(info)) {}

AudioReader::~AudioReader() = default;

AudioReader::Opened AudioReader::Open(const std::string& path) {
    const std::string name = core::PathText(core::NativePath(path).filename());
    auto source = FileSource::Open(path);
    if (!source) {
        return {nullptr, core::Format("%s: the file cannot be opened for reading", name.c_str())};
    }
    return Open(name, std::move(source));
}

AudioReader::Opened AudioReader::Open(const std::string& name, std::unique_ptr<ByteSource> source) {
    const auto fail = [&name](const std::string& why) { return Opened{nullptr, name + ": " + why}; };
    AudioInfo info;
    info.name = name;
    info.facts = ReadContainerFacts(*source);
    if (info.facts.container == Container::kUnknown) {
        return fail("not a WAV, AIFF or FLAC file");
    }
    if (!info.facts.problem.empty()) {
        return fail(info.facts.problem);
    }

#ifndef VELMORANT_AUDIO_LIBRARIES
    // A build for a system without the decoding library (the Windows cross build) reads
    // only what the exact path takes: 16-bit 44.1 kHz WAV files.
    return fail("this build has no audio decoder: only 16-bit 44.1 kHz WAV files can be used");
#else
    auto handle = std::make_unique<Handle>();
    handle->file.source = std::move(source);
    SF_VIRTUAL_IO io{VirtualLength, VirtualSeek, VirtualRead, VirtualWrite, VirtualTell};
    SF_INFO sf{};
    handle->sound = sf_open_virtual(&io, SFM_READ, &sf, &handle->file);
    if (handle->sound == nullptr) {
        return fail(core::Format("the %s file cannot be decoded (%s)", ContainerText(info.facts.container).c_str(),
                                 sf_strerror(nullptr)));
    }
    const int major = sf.format & SF_FORMAT_TYPEMASK;
    const bool sameContainer = (major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX)
                                   ? info.facts.container == Container::kWav
                               : major == SF_FORMAT_AIFF ? info.facts.container == Container::kAiff
                               : major == SF_FORMAT_FLAC ? info.facts.container == Container::kFlac
                                                         : false;
    const auto encoding = EncodingOf(sf.format);
    if (!sameContainer || !encoding) {
        return fail("the sound is neither PCM of 8 to 32 bits nor 32- or 64-bit float");
    }
    if (sf.channels <= 0) {
        return fail(core::Format("the file declares %d channels", sf.channels));
    }
    if (sf.samplerate < kLowestRate || sf.samplerate > kHighestRate) {
        return fail(core::Format("the sample rate %d Hz lies outside %d to %d Hz", sf.samplerate, kLowestRate,
                                 kHighestRate));
    }
    if (sf.frames <= 0) {
        return fail("the file holds no sound");
    }
    info.encoding = *encoding;
    info.channels = sf.channels;
    info.sampleRate = sf.samplerate;
    info.frames = static_cast<std::uint64_t>(sf.frames);
    if (info.facts.declaredFrames && *info.facts.declaredFrames != info.frames) {
        return fail(core::Format("the file declares %llu frames but the decoder finds %llu",
                                 static_cast<unsigned long long>(*info.facts.declaredFrames),
                                 static_cast<unsigned long long>(info.frames)));
    }
    std::vector<int> map(static_cast<std::size_t>(sf.channels));
    if (sf_command(handle->sound, SFC_GET_CHANNEL_MAP_INFO, map.data(),
                   static_cast<int>(map.size() * sizeof(int))) == SF_TRUE) {
        for (const int position : map) info.speakers.push_back(SpeakerOf(position));
    }
    return {std::unique_ptr<AudioReader>(new AudioReader(std::move(handle), std::move(info))), {}};
#endif
}

std::optional<std::size_t> AudioReader::Read(std::span<float> out) {
#ifndef VELMORANT_AUDIO_LIBRARIES
    (void)out;
    error_ = info_.name + ": this build has no audio decoder";
    return std::nullopt;
#else
    const auto channels = static_cast<std::size_t>(info_.channels);
    const std::uint64_t left = info_.frames - done_;
    const auto want = static_cast<sf_count_t>(std::min<std::uint64_t>(out.size() / channels, left));
    if (want == 0) {
        return 0;
    }
    const sf_count_t got = sf_readf_float(handle_->sound, out.data(), want);
    if (got != want) {
        error_ = core::Format("%s: the file ends after %llu of its %llu frames", info_.name.c_str(),
                              static_cast<unsigned long long>(done_ + static_cast<std::uint64_t>(std::max<sf_count_t>(got, 0))),
                              static_cast<unsigned long long>(info_.frames));
        return std::nullopt;
    }
    // A float file may hold NaN or infinity, which no later stage can turn into a sample.
    if (info_.encoding == Encoding::kFloat32 || info_.encoding == Encoding::kFloat64) {
        for (float& x : out.first(static_cast<std::size_t>(got) * channels)) {
            if (!std::isfinite(x)) x = 0.0f;
        }
    }
    done_ += static_cast<std::uint64_t>(got);
    return static_cast<std::size_t>(got);
#endif
}

}  // namespace velmorant::audio
