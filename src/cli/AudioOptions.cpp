#include "cli/AudioOptions.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "audio/AudioFile.h"

namespace velmorant::cli {

void AudioOptions::setup(CLI::App& subcommand, bool withStrict) {
    if (withStrict) {
        subcommand.add_flag("--strict", strict_,
                            "Only 16-bit 44.1 kHz mono or stereo WAV files, refused otherwise as before");
    }
    subcommand.add_flag("--no-dither", noDither_, "Round to 16 bits without dither (dither is seeded: builds repeat)");
    subcommand.add_option("--normalize", normalize_,
                          "One gain for all the files: peak:-1dBFS (true peak) or lufs:-14 (the loudest file)");
    subcommand.add_option("--middle-c", middleC_, "The name of key 60 in note names: C3 or C4")
        ->check(CLI::IsMember({"C3", "C4", "c3", "c4"}));
    subcommand.add_flag("--downmix", downmix_, "Mix files of more than two channels down to stereo");
}

std::optional<create::AudioIn> AudioOptions::make(const std::string& command, std::ostream& err) const {
    create::AudioIn in;
    // Without a decoder every file takes the exact path, as --strict asks.
    in.strict = strict_ || !audio::HaveDecoder();
    in.set.conversion.dither = !noDither_;
    in.set.conversion.downmixToStereo = downmix_;
    in.set.conversion.detectPitch = true;
    in.set.middleC = audio::ParseMiddleC(middleC_).value_or(audio::kDefaultMiddleC);
    if (!normalize_.empty()) {
        std::string why;
        const auto target = audio::ParseLoudnessTarget(normalize_, why);
        if (!target) {
            err << "velmorant-cli " << command << ": " << why << "\n";
            return std::nullopt;
        }
        in.set.loudness = *target;
    }
    return in;
}

}  // namespace velmorant::cli
