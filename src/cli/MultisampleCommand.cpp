#include "cli/MultisampleCommand.h"

#include <CLI/CLI.hpp>
#include <optional>
#include <ostream>
#include <regex>

#include "core/Encoding.h"
#include "create/Multisample.h"
#include "create/MultisampleEditor.h"
#include "platform/ConsolePlatform.h"

namespace velmorant::cli {

namespace {

struct KeysOption {
    std::size_t entry = 0;
    create::ZoneChoice zone;
};

std::optional<KeysOption> ParseKeys(const std::string& text) {
    static const std::regex pattern(R"(^(\d{1,4})=(\d{1,3}):(\d{1,3})-(\d{1,3})$)");
    std::smatch match;
    if (!std::regex_match(text, match, pattern)) {
        return std::nullopt;
    }
    KeysOption option;
    option.entry = static_cast<std::size_t>(std::stoi(match[1].str()));
    option.zone.rootKey = std::stoi(match[2].str());
    option.zone.leftKey = std::stoi(match[3].str());
    option.zone.rightKey = std::stoi(match[4].str());
    const auto key = [](int k) { return k >= 0 && k <= 127; };
    if (!key(option.zone.rootKey) || !key(option.zone.leftKey) || !key(option.zone.rightKey)) {
        return std::nullopt;
    }
    return option;
}

}  // namespace

std::string MultisampleCommand::description() const {
    return "Build a multisample, its samples and a program playing it from WAV files";
}

void MultisampleCommand::setup(CLI::App& subcommand) {
    subcommand.add_option("--out", out_, "The program file to write; everything is written beside it")->required();
    subcommand.add_flag("--auto-map", autoMap_,
                        "Spread the unlocked samples over the keyboard by root key, each key found in the file's "
                        "smpl or inst chunk or its name (unless --strict)");
    audio_.setup(subcommand, true);
    subcommand.add_option("--keys", keys_,
                          "Set sample I (0-based, in the order added) to root key ROOT and keys LEFT..RIGHT "
                          "(MIDI numbers 0..127): I=ROOT:LEFT-RIGHT")
        ->allow_extra_args(false);
    subcommand.add_option("--lock", locks_, "Lock sample I so --auto-map leaves it alone")
        ->allow_extra_args(false)
        ->check(CLI::NonNegativeNumber);
    subcommand.add_option("FILE", waves_, "WAV, AIFF or FLAC files (only 16-bit 44.1 kHz mono or stereo WAV with --strict)")
        ->required();
    subcommand.footer(
        "Each file is checked as it is added; a refused file prints why and is skipped. A file that is\n"
        "converted prints a line saying what was done.\n"
        "Exit status: 0 built, 1 built with refused or unconverted files or not built, 2 usage error.");
}

int MultisampleCommand::run(CommandIo& io) {
    std::vector<KeysOption> keys;
    for (const std::string& text : keys_) {
        const auto option = ParseKeys(text);
        if (!option) {
            io.err << "velmorant-cli multisample: --keys wants I=ROOT:LEFT-RIGHT with keys 0..127, not \"" << text
                   << "\"\n";
            return kExitUsage;
        }
        if (!create::ZoneIsValid(option->zone)) {
            io.err << "Warning: " << create::kLeftAboveRightWarning << " (--keys " << text << ")\n";
            return kExitUsage;
        }
        keys.push_back(*option);
    }

    auto in = audio_.make("multisample", io.err);
    if (!in) {
        return kExitUsage;
    }
    in->autoKeys = autoMap_ && !in->strict;
    in->set.defaultKey = create::SampleEntry{}.rootKey;
    platform::ConsolePlatform platform(io.err);
    std::vector<create::SampleEntry> entries;
    const int added = create::AddAudioFiles(platform, waves_, entries, *in);
    const bool anyRefused = added != static_cast<int>(waves_.size());

    const auto checkIndex = [&](std::size_t index, const std::string& option) {
        if (index < entries.size()) {
            return true;
        }
        io.err << "velmorant-cli multisample: " << option << " names sample " << index << ", but only "
               << entries.size() << " were added\n";
        return false;
    };
    for (const KeysOption& option : keys) {
        if (!checkIndex(option.entry, "--keys")) {
            return kExitFailed;
        }
        create::ApplyZone(platform, entries[option.entry], option.zone);
    }
    for (int lock : locks_) {
        if (!checkIndex(static_cast<std::size_t>(lock), "--lock")) {
            return kExitFailed;
        }
        entries[static_cast<std::size_t>(lock)].locked = 1;
    }
    if (autoMap_) {
        create::AutoMapSamples(entries);
    }
    if (entries.empty()) {
        io.err << "No WAV file could be added; nothing was built.\n";
        return kExitFailed;
    }

    const create::MultisampleBuildResult result = create::BuildMultisample(platform, entries, out_, *in);
    if (result.code != create::BuildResult::kDone) {
        return kExitFailed;
    }
    // Every sample was written: a failed one fails the build with a message naming it.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const create::SampleEntry& e = entries[i];
        const auto row = create::MakeSampleRow(e, in->set.middleC);
        io.out << core::TerminalText(result.sampleFiles[i] + "  root " + row.root + ", keys " + row.notes + "  <- " +
                                     e.path)
               << "\n";
        if (!result.conversions[i].report.empty()) {
            io.out << "  " << core::TerminalText(result.conversions[i].report) << "\n";
        }
    }
    io.out << core::TerminalText("Wrote " + result.programPath) << "\n";
    return anyRefused ? kExitFailed : kExitOk;
}

}  // namespace velmorant::cli
