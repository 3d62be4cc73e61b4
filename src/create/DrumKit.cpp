#include "create/DrumKit.h"

#include <algorithm>

#include "core/Debug.h"
#include "core/File.h"
#include "core/Path.h"
#include "core/Text.h"
#include "create/CreateFiles.h"

namespace velmorant::create {

namespace {

bool ValidKey(int key) {
    return key >= 0 && key < kDrumKitKeys;
}

bool ValidLayer(const DrumKey& key, int layer) {
    return layer >= 0 && layer < key.layerCount();
}

}  // namespace

bool AddLayer(platform::Platform& platform, DrumKit& kit, int key, const std::string& path) {
    if (!ValidKey(key)) {
        return false;
    }
    DrumKey& k = kit.keys[static_cast<std::size_t>(key)];
    if (k.layerCount() >= kMaxDrumLayers) {
        platform.ShowMessage("You cannot add more than 4 layers", "Information", platform::Icon::kInformation);
        return false;
    }
    k.layers.push_back(DrumLayer{path, 127, core::FileSize(path)});
    k.state = kKeyOwnLayers;
    auto& layers = k.layers;
    switch (layers.size()) {
        case 2:
            layers[0].upperBound = 63;
            break;
        case 3:
            layers[1].upperBound = 127 - layers[0].upperBound / 2;
            break;
        case 4:
            // Halfway between its neighbours keeps the bounds rising.
            layers[2].upperBound = (layers[1].upperBound + layers[3].upperBound) / 2;
            break;
        default:
            break;
    }
    return true;
}

void RemoveLayer(DrumKit& kit, int key, int layer) {
    if (!ValidKey(key) || !ValidLayer(kit.keys[static_cast<std::size_t>(key)], layer)) {
        return;
    }
    DrumKey& k = kit.keys[static_cast<std::size_t>(key)];
    k.layers.erase(k.layers.begin() + layer);
    if (k.layers.empty()) {
        k.state = kKeyNotInUse;
    } else {
        k.layers.back().upperBound = 127;
    }
}

namespace {
void SwapSounds(DrumLayer& a, DrumLayer& b) {
    // The WAV files change places; the velocity splits stay where they are.
    std::swap(a.path, b.path);
    std::swap(a.size, b.size);
}
}  // namespace

void MoveLayerDown(DrumKit& kit, int key, int layer) {
    if (!ValidKey(key)) {
        return;
    }
    DrumKey& k = kit.keys[static_cast<std::size_t>(key)];
    if (layer >= 0 && layer + 1 < k.layerCount()) {
        SwapSounds(k.layers[static_cast<std::size_t>(layer)], k.layers[static_cast<std::size_t>(layer) + 1]);
    }
}

void MoveLayerUp(DrumKit& kit, int key, int layer) {
    if (!ValidKey(key)) {
        return;
    }
    DrumKey& k = kit.keys[static_cast<std::size_t>(key)];
    if (layer >= 1 && layer < k.layerCount()) {
        SwapSounds(k.layers[static_cast<std::size_t>(layer) - 1], k.layers[static_cast<std::size_t>(layer)]);
    }
}

void SetUpperBound(DrumKit& kit, int key, int layer, int bound) {
    if (!ValidKey(key) || !ValidLayer(kit.keys[static_cast<std::size_t>(key)], layer)) {
        return;
    }
    kit.keys[static_cast<std::size_t>(key)].layers[static_cast<std::size_t>(layer)].upperBound =
        std::clamp(bound, 0, 127);
}

void SetDefineOscillator(DrumKit& kit, int key, bool on) {
    if (!ValidKey(key)) {
        return;
    }
    DrumKey& k = kit.keys[static_cast<std::size_t>(key)];
    if (on) {
        k.defineOscillator = 1;
    } else {
        k = DrumKey{};
        k.defineOscillator = 0;
    }
}

void SetCopySource(DrumKit& kit, int key, int sourceKey) {
    if (!ValidKey(key) || sourceKey < -1 || sourceKey >= kDrumKitKeys) {
        return;
    }
    DrumKey& k = kit.keys[static_cast<std::size_t>(key)];
    k.copySource = sourceKey;
    k.state = sourceKey >= 0 ? kKeyCopy : kKeyNotInUse;
}

void SetPreset(DrumKit& kit, int key, int preset) {
    if (ValidKey(key) && preset >= 0 && preset <= 2) {
        kit.keys[static_cast<std::size_t>(key)].preset = preset;
    }
}

void ResetKit(DrumKit& kit) {
    kit.keys.fill(DrumKey{});
}

VelocityRange LayerVelocityRange(const DrumKey& key, int layer) {
    VelocityRange range;
    if (!ValidLayer(key, layer)) {
        return range;
    }
    const auto i = static_cast<std::size_t>(layer);
    range.from = layer == 0 ? 0 : key.layers[i - 1].upperBound;
    range.to = layer + 1 == key.layerCount() ? 127 : key.layers[i].upperBound;
    return range;
}

int SaveDrumKit(platform::Platform& platform, const DrumKit& kit, const std::string& chosenPath) {
    const std::string path = InFolder(core::PathDirectory(chosenPath), core::PathBaseName(chosenPath) + ".fdk");
    if (core::FileExists(path) || core::DirectoryExists(path)) {
        platform.ShowMessage(formats::DrumKitMessage(formats::DrumKitResult::kExists), "Information",
                             platform::Icon::kInformation);
        return 0;
    }
    core::FileStatus written;
    const formats::DrumKitResult result = formats::WriteKitFile(path, kit, &written);
    if (result != formats::DrumKitResult::kOk) {
        const std::string* unstorable = formats::FirstUnstorablePath(kit);
        const std::string subject = result == formats::DrumKitResult::kPathNotStorable
                                        ? *unstorable
                                        : path + ": " + written.Reason();
        platform.ShowMessage(formats::DrumKitMessage(result, subject), "Error", platform::Icon::kStop);
        return 0;
    }
    return 1;
}

int LoadDrumKit(platform::Platform& platform, DrumKit& kit, const std::string& path) {
    const auto bytes = core::ReadWholeFile(path);
    if (!bytes) {
        platform.ShowMessage(formats::DrumKitMessage(formats::DrumKitResult::kCannotOpen), "Information",
                             platform::Icon::kInformation);
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    return ReadKitText(platform, text, path, kit);
}

int ReadKitText(platform::Platform& platform, std::string_view text, const std::string& path, DrumKit& kit) {
    const formats::KitText read = formats::ParseKitText(text);
    if (read.result != formats::DrumKitResult::kOk) {
        platform.ShowMessage(formats::DrumKitMessage(read.result, path), "Information", platform::Icon::kInformation);
        return 0;
    }
    for (const formats::KitLine& line : read.lines) {
        if (line.index < 0) {
            core::DebugPrint("%s: line %zu, %s\n", path.c_str(), line.number, line.badField);
            platform.ShowMessage(formats::DrumKitMessage(formats::DrumKitResult::kBadLine, path, line.number),
                                 "Information", platform::Icon::kInformation);
            continue;
        }
        DrumKey& key = kit.keys[static_cast<std::size_t>(line.index)];
        key = line.key;
        key.layers.clear();
        for (const DrumLayer& stored : line.key.layers) {
            std::string samplePath = stored.path;
            if (!core::FileExists(samplePath)) {
                platform.ShowMessage(
                    core::Format("Cannot open sample %s.\nPlease select a file to replace.", samplePath.c_str()),
                    "Information", platform::Icon::kInformation);
                platform::OpenFileRequest replace;
                replace.title = "Replace sample";
                replace.filters = {{"Wave file (.wav)", "*.wav"}};
                const auto replacement = platform.ChooseOpenFiles(replace);
                if (!replacement || replacement->empty() || !core::FileExists(replacement->front())) {
                    key = DrumKey{};
                    break;
                }
                samplePath = replacement->front();
            }
            key.layers.push_back(DrumLayer{samplePath, stored.upperBound, core::FileSize(samplePath)});
        }
    }
    return 1;
}

bool OpenKitCommand(platform::Platform& platform, DrumKit& kit, const std::string& path) {
    if (LoadDrumKit(platform, kit, path) != 1) {
        platform.ShowMessage("No file loaded", "Error", platform::Icon::kStop);
        return false;
    }
    return true;
}

bool SaveKitCommand(platform::Platform& platform, const DrumKit& kit, const std::string& chosenPath) {
    if (SaveDrumKit(platform, kit, chosenPath) == 0) {
        platform.ShowMessage("File not saved", "Error", platform::Icon::kStop);
        return false;
    }
    return true;
}

}  // namespace velmorant::create
