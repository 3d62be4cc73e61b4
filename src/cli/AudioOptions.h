#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "create/AudioSamples.h"

namespace CLI {
class App;
}

namespace velmorant::cli {

// The audio options convert, multisample, drums and probe-audio share, parsed into the
// builds' own options struct.
class AudioOptions {
public:
    // `withStrict`: the command can refuse what needs converting, as it always did.
    void setup(CLI::App& subcommand, bool withStrict);
    // nullopt (after saying why on `err`) when a value is not understood.
    std::optional<create::AudioIn> make(const std::string& command, std::ostream& err) const;

private:
    bool strict_ = false;
    bool noDither_ = false;
    bool downmix_ = false;
    std::string normalize_;
    std::string middleC_ = "C4";
};

}  // namespace velmorant::cli
