#include "demo/DemoContent.h"

#include <cmath>
#include <filesystem>
#include <numbers>
#include <system_error>

#include "bank/BankIndex.h"
#include "core/AtomicWrite.h"
#include "core/Bytes.h"
#include "core/File.h"
#include "core/Path.h"
#include "core/Text.h"
#include "create/DrumKit.h"
#include "create/DrumProgram.h"
#include "create/Multisample.h"
#include "platform/Platform.h"

namespace velmorant::demo {

using namespace create;

namespace {

namespace fs = std::filesystem;

constexpr const char* kBank = "Created";
constexpr const char* kKeysName = "Synth Keys";
constexpr const char* kKitName = "Synth Kit";

// Cancels every question and keeps the first failure the builders report.
class QuietPlatform final : public platform::Platform {
public:
    const std::string& failure() const { return failure_; }

    std::optional<std::vector<std::string>> ChooseOpenFiles(const platform::OpenFileRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseSaveFile(const platform::SaveFileRequest&) override { return std::nullopt; }
    std::optional<std::string> ChooseFolder(std::string_view) override { return std::nullopt; }
    void ShowMessage(std::string_view text, std::string_view title, platform::Icon) override {
        if (title != "Information" && failure_.empty()) {
            failure_ = std::string(title) + ": " + std::string(text);
        }
    }
    bool Confirm(std::string_view, std::string_view, platform::Icon) override { return false; }
    bool OpenDocument(const std::string&) override { return false; }
    std::unique_ptr<platform::ProgressWindow> StartProgressWindow(bool) override { return nullptr; }

private:
    std::string failure_;
};

// A 16-bit 44.1 kHz mono WAV file; a unity note adds a "smpl" chunk.
std::vector<std::uint8_t> SynthWave(const std::vector<std::int16_t>& sound, std::optional<std::uint32_t> unityNote) {
    core::ByteBuilder body;
    body.text("WAVEfmt ");
    body.u32le(16);
    body.u16le(1);
    body.u16le(1);
    body.u32le(44100);
    body.u32le(88200);
    body.u16le(2);
    body.u16le(16);
    body.text("data");
    body.u32le(static_cast<std::uint32_t>(sound.size() * 2));
    for (std::int16_t s : sound) {
        body.u16le(static_cast<std::uint16_t>(s));
    }
    if (unityNote) {
        body.text("smpl");
        body.u32le(36);
        body.u32le(0);
        body.u32le(0);
        body.u32le(22676);
        body.u32le(*unityNote);
        body.zeros(20);
    }
    core::ByteBuilder file;
    file.text("RIFF");
    file.u32le(static_cast<std::uint32_t>(body.size()));
    file.bytes(body.data());
    return file.data();
}

// A tone with a few harmonics and a soft decay.
std::vector<std::int16_t> Tone(int note, double seconds) {
    const double hz = 440.0 * std::pow(2.0, (note - 69) / 12.0);
    const int frames = static_cast<int>(seconds * 44100);
    std::vector<std::int16_t> sound(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        const double t = i / 44100.0;
        const double v = std::sin(2 * std::numbers::pi * hz * t) + 0.4 * std::sin(4 * std::numbers::pi * hz * t) +
                         0.2 * std::sin(6 * std::numbers::pi * hz * t);
        sound[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(9000.0 * v * std::exp(-2.0 * t));
    }
    return sound;
}

// A pitch-falling sine for kicks, or decaying noise for snares and hats.
std::vector<std::int16_t> Drum(double startHz, double noise, double decay, double level) {
    const int frames = 44100 / 3;
    std::vector<std::int16_t> sound(static_cast<std::size_t>(frames));
    std::uint32_t seed = 12345;
    double phase = 0;
    for (int i = 0; i < frames; ++i) {
        const double t = i / 44100.0;
        seed = seed * 1664525u + 1013904223u;
        const double white = static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
        phase += 2 * std::numbers::pi * startHz * std::exp(-8.0 * t) / 44100.0;
        const double v = (1.0 - noise) * std::sin(phase) + noise * white;
        sound[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(level * 20000.0 * v * std::exp(-decay * t));
    }
    return sound;
}

bool MoveInto(const std::string& from, const std::string& folder, std::string& error) {
    std::error_code ec;
    fs::rename(core::NativePath(from), core::NativePath(core::JoinPath(folder, core::PathFileName(from))), ec);
    if (ec) {
        error = "cannot move " + from + " into " + folder + ": " + ec.message();
        return false;
    }
    return true;
}

bool Build(const std::string& root, const std::string& scratch, std::string& error) {
    const std::string programs = core::JoinPath(core::JoinPath(root, "Programs"), kBank);
    const std::string multisamples = core::JoinPath(core::JoinPath(root, "Multisamples"), kBank);
    const std::string samples = core::JoinPath(core::JoinPath(root, "Samples"), kBank);
    for (const std::string& folder : {programs, multisamples, samples}) {
        // These folders hold only what this function makes: start them afresh.
        std::error_code ec;
        fs::remove_all(core::NativePath(folder), ec);
        fs::create_directories(core::NativePath(folder), ec);
        if (ec) {
            error = "cannot create " + folder;
            return false;
        }
    }
    const auto wave = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::string path = core::JoinPath(scratch, name);
        if (error.empty() && !core::WriteFileAtomically(path, bytes)) {
            error = "cannot write " + path;
        }
        return path;
    };

    // The multisample is built beside its samples, then its program and file take their places.
    QuietPlatform platform;
    std::vector<SampleEntry> entries;
    for (int note : {48, 60, 72}) {
        const std::string path = wave(core::Format("keys%i.wav", note), SynthWave(Tone(note, 0.6), note));
        if (!error.empty() || AddSampleFiles(platform, {path}, entries) != 1) {
            error = error.empty() ? "cannot add " + path : error;
            return false;
        }
    }
    AutoMapSamples(entries);
    const MultisampleBuildResult keys =
        BuildMultisample(platform, entries, core::JoinPath(samples, std::string(kKeysName) + ".afp"));
    if (keys.code != BuildResult::kDone || !platform.failure().empty()) {
        error = "multisample build failed: " + platform.failure();
        return false;
    }
    if (!MoveInto(keys.programPath, programs, error) ||
        !MoveInto(core::JoinPath(samples, std::string(kKeysName) + ".afi"), multisamples, error)) {
        return false;
    }

    DrumKit kit;
    const auto layer = [&](int key, const std::string& name, const std::vector<std::int16_t>& sound) {
        AddLayer(platform, kit, key, wave(name, SynthWave(sound, std::nullopt)));
    };
    layer(31, "kick-soft.wav", Drum(120, 0.05, 9, 0.5));
    layer(31, "kick-hard.wav", Drum(150, 0.1, 8, 1.0));
    layer(33, "snare-soft.wav", Drum(200, 0.7, 14, 0.5));
    layer(33, "snare-hard.wav", Drum(220, 0.8, 12, 1.0));
    layer(37, "hat-closed.wav", Drum(0, 1.0, 40, 0.6));
    layer(41, "hat-open.wav", Drum(0, 1.0, 8, 0.6));
    SetDefineOscillator(kit, 35, false);  // Snare Drum 2 plays Snare Drum 1's samples
    SetCopySource(kit, 35, 33);
    if (!error.empty()) {
        return false;
    }
    const DrumBuildResult drums =
        BuildDrumProgram(platform, kit, core::JoinPath(programs, std::string(kKitName) + ".afp"));
    if (!drums.written || !platform.failure().empty()) {
        error = "drum program build failed: " + platform.failure();
        return false;
    }
    for (std::size_t i = 0; i < drums.sampleFiles.size(); ++i) {
        if (drums.conversionStatus[i] != ConversionResult::kWritten || !MoveInto(drums.sampleFiles[i], samples, error)) {
            error = error.empty() ? "cannot convert the WAV file for " + drums.sampleFiles[i] : error;
            return false;
        }
    }
    for (const ConversionResult status : keys.conversionStatus) {
        if (status != ConversionResult::kWritten) {
            error = "a multisample sample was not converted";
            return false;
        }
    }

    // The folders' indexes, and the bank in the volume's list of banks.
    if (bank::WriteFolderIndex(samples, bank::FolderKind::kSamples) != 1 ||
        bank::WriteFolderIndex(multisamples, bank::FolderKind::kMultisamples) != 1 ||
        !core::WriteFileAtomically(core::JoinPath(programs, "bank.txt"),
                                   core::Format("Number of items: 2\r\n%s:A\r\n%s:O\r\n", kKeysName, kKitName))) {
        error = "cannot write the indexes of " + std::string(kBank);
        return false;
    }
    const std::string volumeIndex = core::JoinPath(core::JoinPath(root, "Programs"), "bank.txt");
    bank::BankIndex banks;
    bank::ReadBankIndex(banks, volumeIndex);
    std::string text;
    int count = 0;
    bool listed = false;
    for (int i = 0; i < banks.itemCount && static_cast<std::size_t>(i) < banks.entries.size(); ++i) {
        const std::string& name = banks.entries[static_cast<std::size_t>(i)].name;
        if (core::TrimSpaces(name).empty()) {
            continue;
        }
        listed = listed || name == kBank;
        text += name + "\r\n";
        ++count;
    }
    if (!listed) {
        text += std::string(kBank) + "\r\n";
        ++count;
    }
    if (!core::WriteFileAtomically(volumeIndex, core::Format("Number of items: %i\r\n", count) + text)) {
        error = "cannot write " + volumeIndex;
        return false;
    }
    return true;
}

}  // namespace

bool WriteCreatedDemoContent(const std::string& volumeRoot, std::string& error) {
    error.clear();
    const std::string scratch = core::JoinPath(volumeRoot, ".created-wav");
    std::error_code ec;
    fs::create_directories(core::NativePath(scratch), ec);
    if (ec) {
        error = "cannot create " + scratch;
        return false;
    }
    const bool ok = Build(volumeRoot, scratch, error);
    fs::remove_all(core::NativePath(scratch), ec);
    return ok;
}

}  // namespace velmorant::demo
