#include "audio/Loudness.h"

#ifdef VELMORANT_AUDIO_LIBRARIES
#include <ebur128.h>
#endif

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <vector>

#include "core/Text.h"

namespace velmorant::audio {

namespace {

constexpr double kSilence = -1e9;

#ifdef VELMORANT_AUDIO_LIBRARIES
struct StateDeleter {
    void operator()(ebur128_state* state) const { ebur128_destroy(&state); }
};
#endif

std::optional<double> Number(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string_view WithoutSuffix(std::string_view text, std::string_view suffix) {
    if (text.size() >= suffix.size()) {
        std::string tail(text.substr(text.size() - suffix.size()));
        std::string wanted(suffix);
        core::UpperCaseInPlace(tail);
        core::UpperCaseInPlace(wanted);
        if (tail == wanted) return text.substr(0, text.size() - suffix.size());
    }
    return text;
}

}  // namespace

std::optional<LoudnessTarget> ParseLoudnessTarget(std::string_view text, std::string& error) {
    const auto colon = text.find(':');
    std::string kind(text.substr(0, colon == std::string_view::npos ? text.size() : colon));
    core::UpperCaseInPlace(kind);
    const std::string_view value = colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
    std::optional<double> level;
    LoudnessTarget target;
    if (kind == "PEAK") {
        target.mode = LoudnessMode::kPeak;
        level = Number(WithoutSuffix(value, "dBFS"));
        if (level && *level > 0) level.reset();
    } else if (kind == "LUFS") {
        target.mode = LoudnessMode::kLufs;
        level = Number(WithoutSuffix(value, "LUFS"));
        if (level && (*level > 0 || *level < -70)) level.reset();
    }
    if (!level) {
        error = core::Format("\"%.*s\" is no loudness target: give peak:-1dBFS (at most 0) or lufs:-14 (-70 to 0)",
                             static_cast<int>(text.size()), text.data());
        return std::nullopt;
    }
    target.level = *level;
    return target;
}

Measured MeasureLoudness(AudioReader& reader, LoudnessMode mode) {
    const AudioInfo& info = reader.info();
#ifndef VELMORANT_AUDIO_LIBRARIES
    (void)mode;
    return {std::nullopt, info.name + ": this build has no loudness meter"};
#else
    const int flags = mode == LoudnessMode::kPeak ? EBUR128_MODE_TRUE_PEAK : EBUR128_MODE_I;
    std::unique_ptr<ebur128_state, StateDeleter> state(
        ebur128_init(static_cast<unsigned>(info.channels), static_cast<unsigned long>(info.sampleRate), flags));
    if (!state) {
        return {std::nullopt, info.name + ": the loudness meter cannot start"};
    }
    for (std::size_t c = 0; c < info.speakers.size(); ++c) {
        if (info.speakers[c] == Speaker::kLowFrequency) {
            ebur128_set_channel(state.get(), static_cast<unsigned>(c), EBUR128_UNUSED);
        }
    }
    std::vector<float> block(8192 * static_cast<std::size_t>(info.channels));
    for (;;) {
        const auto got = reader.Read(block);
        if (!got) return {std::nullopt, reader.error()};
        if (*got == 0) break;
        if (ebur128_add_frames_float(state.get(), block.data(), *got) != EBUR128_SUCCESS) {
            return {std::nullopt, info.name + ": the loudness meter failed"};
        }
    }
    LoudnessMeasure measure;
    if (mode == LoudnessMode::kPeak) {
        double peak = 0;
        for (unsigned c = 0; c < static_cast<unsigned>(info.channels); ++c) {
            double p = 0;
            if (ebur128_true_peak(state.get(), c, &p) == EBUR128_SUCCESS) peak = std::max(peak, p);
        }
        measure.truePeakDb = peak > 0 ? 20.0 * std::log10(peak) : kSilence;
    } else {
        double lufs = 0;
        if (ebur128_loudness_global(state.get(), &lufs) == EBUR128_SUCCESS && std::isfinite(lufs)) {
            measure.lufs = lufs;
        }
    }
    return {measure, {}};
#endif
}

double SetGainDb(std::span<const LoudnessMeasure> measures, const LoudnessTarget& target) {
    double loudest = kSilence;
    for (const LoudnessMeasure& m : measures) {
        loudest = std::max(loudest, target.mode == LoudnessMode::kPeak ? m.truePeakDb : m.lufs);
    }
    if (target.mode == LoudnessMode::kNone || loudest <= kSilence) {
        return 0.0;
    }
    return target.level - loudest;
}

}  // namespace velmorant::audio
