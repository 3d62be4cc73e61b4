#include "cli/DrumsCommand.h"

#include <CLI/CLI.hpp>
#include <optional>
#include <ostream>

#include "core/Encoding.h"
#include "core/File.h"
#include "create/DrumEditor.h"
#include "create/DrumKit.h"
#include "create/DrumProgram.h"
#include "platform/ConsolePlatform.h"

namespace velmorant::cli {

namespace {

struct LayerOption {
    int key = 0;
    std::string path;
    std::optional<int> upper;
};

bool AllDigits(std::string_view text) {
    return !text.empty() && text.size() <= 9 && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// KEY=WAV[@UPPER]: UPPER is what follows the last "@" when that is digits only.
std::optional<LayerOption> ParseLayer(const std::string& text) {
    const auto equals = text.find('=');
    if (equals == std::string::npos || !AllDigits(std::string_view(text).substr(0, equals))) {
        return std::nullopt;
    }
    LayerOption option;
    option.key = std::stoi(text.substr(0, equals));
    option.path = text.substr(equals + 1);
    const auto at = option.path.rfind('@');
    if (at != std::string::npos && AllDigits(std::string_view(option.path).substr(at + 1))) {
        option.upper = std::stoi(option.path.substr(at + 1));
        option.path.resize(at);
    }
    if (option.key >= create::kDrumKitKeys || option.path.empty() || (option.upper && *option.upper > 127)) {
        return std::nullopt;
    }
    return option;
}

}  // namespace

std::string DrumsCommand::description() const {
    return "Assemble a drum kit from WAV files (or a .fdk kit file), save it, and build a drum program";
}

void DrumsCommand::setup(CLI::App& subcommand) {
    subcommand.add_option("--kit", kit_, "Load this kit file first (a missing sample empties its key)");
    subcommand.add_option("--layer", layers_,
                          "Add a velocity layer to key index KEY (0..97) with default bounds, then set its "
                          "upper velocity bound (0..127) when @UPPER is given: KEY=WAV[@UPPER]")
        ->allow_extra_args(false);
    subcommand.add_option("--save-kit", saveKit_, "Save the kit as this .fdk file (an existing file is refused)");
    subcommand.add_option("--out", out_, "Build the drum program file; its samples are written beside it");
    subcommand.add_flag("--auto-map", autoMap_,
                        "Add each FILE as a layer of the key its root key names (its smpl or inst chunk, or a note "
                        "or MIDI number in its name)");
    subcommand.add_option("FILE", files_, "Files placed by --auto-map");
    audio_.setup(subcommand, true);
    subcommand.footer("Exit status: 0 done, 1 something failed or was left out, 2 usage error.");
}

int DrumsCommand::run(CommandIo& io) {
    std::vector<LayerOption> layers;
    for (const std::string& text : layers_) {
        const auto option = ParseLayer(text);
        if (!option) {
            io.err << "velmorant-cli drums: --layer wants KEY=WAV[@UPPER] with KEY 0..97 and UPPER 0..127, not \""
                   << text << "\"\n";
            return kExitUsage;
        }
        if (!core::FileExists(option->path)) {
            io.err << "No such WAV file: " << option->path << "\n";
            return kExitFailed;
        }
        layers.push_back(*option);
    }

    const auto in = audio_.make("drums", io.err);
    if (!in) {
        return kExitUsage;
    }
    if (!files_.empty() && !autoMap_) {
        io.err << "velmorant-cli drums: files without --layer are placed by --auto-map\n";
        return kExitUsage;
    }
    platform::ConsolePlatform platform(io.err);
    create::DrumKit kit;
    bool failed = false;
    if (!kit_.empty()) {
        if (!create::OpenKitCommand(platform, kit, kit_)) {
            return kExitFailed;
        }
    }
    for (const LayerOption& option : layers) {
        if (!create::AddLayer(platform, kit, option.key, option.path)) {
            return kExitFailed;
        }
        if (option.upper) {
            const int layer = kit.keys[static_cast<std::size_t>(option.key)].layerCount() - 1;
            create::SetUpperBound(kit, option.key, layer, *option.upper);
        }
    }
    if (!files_.empty()) {
        audio::SetOptions options = in->set;
        options.defaultKey = -1;
        const audio::SetPlan set = audio::PlanSet(files_, options);
        for (const audio::FilePlan& file : set.files) {
            const int index = file.root.key - create::kDrumEditorNoteOffset;
            if (!file.error.empty()) {
                io.err << file.error << "\n";
                return kExitFailed;
            }
            if (file.root.evidence == audio::KeyEvidence::kDefault) {
                io.err << file.info.name << ": no root key in its chunks or its name; place it with --layer\n";
                return kExitFailed;
            }
            if (index < 0 || index >= create::kDrumKitKeys) {
                io.err << file.info.name << ": root key " << file.root.key << " lies outside the drum keys ("
                       << create::kDrumEditorNoteOffset << " to " << create::kDrumEditorNoteOffset + create::kDrumKitKeys - 1
                       << ")\n";
                return kExitFailed;
            }
            if (!create::AddLayer(platform, kit, index, file.path)) {
                return kExitFailed;
            }
        }
    }
    const std::string count = create::OscillatorCountText(kit);
    if (!count.empty()) {
        io.out << count << "\n";
    }

    if (!saveKit_.empty()) {
        if (!create::SaveKitCommand(platform, kit, saveKit_)) {
            failed = true;
        } else {
            io.out << "Saved the kit\n";
        }
    }
    if (!out_.empty()) {
        const create::DrumBuildResult result = create::BuildDrumProgram(platform, kit, out_, *in);
        failed = failed || !result.written || result.keysLeftOut > 0;
        std::size_t written = 0;
        for (const create::SampleOutcome& conversion : result.conversions) {
            if (!conversion.report.empty()) {
                io.out << core::TerminalText(conversion.report) << "\n";
            }
            written += conversion.status == create::ConversionResult::kWritten ? 1 : 0;
        }
        // A sample that failed is named in the build's message, and then no program is written.
        if (result.written) {
            io.out << core::TerminalText("Wrote " + result.programPath) << " and " << written << " samples\n";
        }
    }
    return failed ? kExitFailed : kExitOk;
}

}  // namespace velmorant::cli
