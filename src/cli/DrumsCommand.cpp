#include "cli/DrumsCommand.h"

#include <CLI/CLI.hpp>
#include <optional>
#include <ostream>

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

    platform::ConsolePlatform platform(io.err);
    create::DrumKit kit;
    bool failed = false;
    if (!kit_.empty()) {
        platform.QueueOpenFiles({kit_});
        if (!create::OpenKitCommand(platform, kit)) {
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
    const std::string count = create::OscillatorCountText(kit);
    if (!count.empty()) {
        io.out << count << "\n";
    }

    if (!saveKit_.empty()) {
        platform.QueueSaveFile(saveKit_);
        if (!create::SaveKitCommand(platform, kit)) {
            failed = true;
        } else {
            io.out << "Saved the kit\n";
        }
    }
    if (!out_.empty()) {
        platform.QueueSaveFile(out_);
        const create::DrumBuildResult result = create::BuildDrumProgram(platform, kit);
        failed = failed || !result.written || result.keysLeftOut > 0;
        for (std::size_t i = 0; i < result.sampleFiles.size(); ++i) {
            if (result.conversionStatus[i] != create::ConversionResult::kWritten) {
                failed = true;
                io.err << "Cannot convert the WAV file for " << result.sampleFiles[i] << ": status "
                       << create::ConversionCode(result.conversionStatus[i]) << ", "
                       << create::ConversionResultText(result.conversionStatus[i]) << "\n";
            }
        }
        if (result.written) {
            io.out << "Wrote " << result.programPath << " and " << result.sampleFiles.size() << " samples\n";
        }
    }
    return failed ? kExitFailed : kExitOk;
}

}  // namespace velmorant::cli
