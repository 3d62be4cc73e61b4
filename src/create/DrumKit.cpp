#include "create/DrumKit.h"

#include <algorithm>
#include <limits>

#include "core/File.h"
#include "core/Path.h"
#include "core/Text.h"
#include "create/CreateFiles.h"

namespace velmorant::create {

namespace {

constexpr int kMaxKitLines = 2000;
constexpr std::size_t kKeyFields = 6;

bool ValidKey(int key) {
    return key >= 0 && key < kDrumKitKeys;
}

bool ValidLayer(const DrumKey& key, int layer) {
    return layer >= 0 && layer < key.layerCount();
}

// Leading blanks, an optional sign, then digits up to the first other character; 0 without digits.
std::int32_t LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && core::IsSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), std::int64_t{1} << 32);
    }
    value = negative ? -value : value;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

bool StorablePath(const std::string& path) {
    return path.find_first_of("|\r\n") == std::string::npos;
}

// A line that SaveDrumKit could have written: key and layer count in range, every layer with a path.
bool ValidKeyLine(const std::vector<std::string>& fields) {
    if (fields.size() < kKeyFields) {
        return false;
    }
    const int key = LeadingNumber(fields[0]);
    const int count = LeadingNumber(fields[1]);
    const int state = LeadingNumber(fields[2]);
    const int copySource = LeadingNumber(fields[3]);
    const int define = LeadingNumber(fields[4]);
    const int preset = LeadingNumber(fields[5]);
    if (!ValidKey(key) || count < 0 || count > kMaxDrumLayers || state < 0 || state > 2 || copySource < -1 ||
        copySource >= kDrumKitKeys || define < 0 || define > 1 || preset < 0 || preset > 2) {
        return false;
    }
    if (fields.size() < kKeyFields + 2 * static_cast<std::size_t>(count)) {
        return false;
    }
    for (int j = 0; j < count; ++j) {
        if (fields[kKeyFields + 2 * static_cast<std::size_t>(j)].empty()) {
            return false;
        }
    }
    return true;
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

std::string FormatKitFile(const DrumKit& kit) {
    std::string text = std::string(kKitFileHeader) + "\r\n";
    for (int index = 0; index < kDrumKitKeys; ++index) {
        const DrumKey& key = kit.keys[static_cast<std::size_t>(index)];
        text += core::Format("%i|%i|%i|%i|%i|%i|", index, key.layerCount(), key.state, key.copySource,
                             key.defineOscillator, key.preset);
        for (int j = 0; j < kMaxDrumLayers; ++j) {
            if (j < key.layerCount()) {
                const DrumLayer& layer = key.layers[static_cast<std::size_t>(j)];
                if (!StorablePath(layer.path)) {
                    return {};
                }
                text += core::Format("%s|%i|", layer.path.c_str(), layer.upperBound);
            } else {
                text += "|0|";
            }
        }
        text += "\r\n";
    }
    return text;
}

int SaveDrumKit(platform::Platform& platform, const DrumKit& kit) {
    platform::SaveFileRequest request;
    request.title = "Save drum kit";
    request.filters = {{"FDK file (.fdk)", "*.fdk"}};
    const auto chosen = platform.ChooseSaveFile(request);
    if (!chosen) {
        return 1;
    }
    const std::string path = InFolder(core::PathDirectory(*chosen), core::PathBaseName(*chosen) + ".fdk");
    if (core::FileExists(path) || core::DirectoryExists(path)) {
        platform.ShowMessage("File already Exist !", "Information", platform::Icon::kInformation);
        return 0;
    }
    for (const DrumKey& key : kit.keys) {
        for (const DrumLayer& layer : key.layers) {
            if (!StorablePath(layer.path)) {
                platform.ShowMessage(core::Format("The sample path %s holds \"|\" or a line end, which a kit file "
                                                  "cannot store. Nothing was saved.",
                                                  layer.path.c_str()),
                                     "Error", platform::Icon::kStop);
                return 0;
            }
        }
    }
    if (!core::WriteFileAtomically(path, FormatKitFile(kit))) {
        platform.ShowMessage(core::Format("Cannot create the file %s", path.c_str()), "Error",
                             platform::Icon::kStop);
        return 0;
    }
    return 1;
}

int LoadDrumKit(platform::Platform& platform, DrumKit& kit) {
    platform::OpenFileRequest request;
    request.title = "Open drum kit";
    request.filters = {{"FDK file (.fdk)", "*.fdk"}};
    const auto chosen = platform.ChooseOpenFiles(request);
    if (!chosen || chosen->empty()) {
        return 1;
    }
    const std::string& path = chosen->front();
    const auto bytes = core::ReadWholeFile(path);
    if (!bytes) {
        platform.ShowMessage("Cannot open file !", "Information", platform::Icon::kInformation);
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    return ReadKitText(platform, text, path, kit);
}

int ReadKitText(platform::Platform& platform, std::string_view text, const std::string& path, DrumKit& kit) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size() && lines.size() < kMaxKitLines;) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        start = end + 1;
    }
    if (lines.empty() || !core::StartsWith(lines.front(), "##|fdk|3")) {
        platform.ShowMessage("Sorry, cannot open this file format.", "Information", platform::Icon::kInformation);
        return 0;
    }
    for (std::size_t n = 1; n < lines.size(); ++n) {
        if (core::TrimSpaces(lines[n]).empty()) {
            continue;
        }
        const std::vector<std::string> fields = core::SplitText(lines[n], "|", true);
        if (!ValidKeyLine(fields)) {
            platform.ShowMessage(core::Format("Line %i of %s is not a valid key line; it was skipped.",
                                              static_cast<int>(n + 1), path.c_str()),
                                 "Information", platform::Icon::kInformation);
            continue;
        }
        DrumKey& key = kit.keys[static_cast<std::size_t>(LeadingNumber(fields[0]))];
        key = DrumKey{};
        const int count = LeadingNumber(fields[1]);
        key.state = LeadingNumber(fields[2]);
        key.copySource = LeadingNumber(fields[3]);
        key.defineOscillator = LeadingNumber(fields[4]);
        key.preset = LeadingNumber(fields[5]);
        for (int j = 0; j < count; ++j) {
            std::string samplePath = fields[kKeyFields + 2 * static_cast<std::size_t>(j)];
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
            const int bound = LeadingNumber(fields[kKeyFields + 2 * static_cast<std::size_t>(j) + 1]);
            key.layers.push_back(DrumLayer{samplePath, std::clamp(bound, 0, 127), core::FileSize(samplePath)});
        }
    }
    return 1;
}

}  // namespace velmorant::create
