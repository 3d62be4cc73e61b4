#include "create/DrumEditor.h"

#include <algorithm>

#include "core/Path.h"
#include "core/Text.h"

namespace velmorant::create {

namespace {

constexpr const char* kDrumNoteNames[12] = {"C ", "C#", "D ", "D#", "E ", "F ", "F#", "G ", "G#", "A ", "A#", "B "};

// Key indexes 19 to 79.
constexpr const char* kDrumNames[] = {
    "Zap/High Q/Click sound", "Brush hit hard", "Brush circle", "Brush hit soft", "Brush hit and circle",
    "Drumroll", "Castanets", "Snare Drum 3", "Drumsticks hitting each other", "Bass Drum 3", "Hard hit snare",
    "Bass Drum 2", "Bass Drum 1", "Side Stick/Rimshot", "Snare Drum 1", "Hand Clap", "Snare Drum 2", "Low Tom 2",
    "Closed Hi-hat", "Low Tom 1", "Pedal Hi-hat", "Mid Tom 2", "Open Hi-hat", "Mid Tom 1", "High Tom 2",
    "Crash Cymbal 1", "High Tom 1", "Ride Cymbal 1", "Chinese Cymbal", "Ride Bell", "Tambourine",
    "Splash Cymbal", "Cowbell", "Crash Cymbal 2", "Vibra Slap", "Ride Cymbal 2", "High Bongo", "Low Bongo",
    "Mute High Conga", "Open High Conga", "Low Conga", "High Timbale", "Low Timbale", "High Agog\xF4",
    "Low Agog\xF4", "Cabasa", "Maracas", "Short Whistle", "Long Whistle", "Short G\xFCiro", "Long G\xFCiro",
    "Claves", "High Wood Block", "Low Wood Block", "Mute Cu\xED" "ca", "Open Cu\xED" "ca", "Mute Triangle",
    "Open Triangle", "Shaker", "Jingle bell/Sleigh bells", "Bell tree",
};
constexpr int kFirstNamedKey = 19;
constexpr int kNamedKeys = static_cast<int>(sizeof(kDrumNames) / sizeof(kDrumNames[0]));

constexpr int kOscillatorLimit = 64;

// Within each octave from F: F, F#, G, G#, A, A#, B, C, C#, D, D#, E.
bool IsBlackDrumKey(int keyIndex) {
    const int n = keyIndex % 12;
    return n == 1 || n == 3 || n == 5 || n == 8 || n == 10;
}

constexpr int kKeyboardLeft = 18;
constexpr int kKeyboardTop = 76;
constexpr int kWhiteWidth = 11;
constexpr int kWhiteHeight = 46;
constexpr int kBlackWidth = 8;
constexpr int kBlackHeight = 28;
constexpr int kWhiteKeys = 57;

}  // namespace

std::string DrumKeyName(int keyIndex) {
    const int i = keyIndex - kFirstNamedKey;
    return i >= 0 && i < kNamedKeys ? kDrumNames[i] : "";
}

std::string DrumNoteText(int keyIndex, audio::MiddleC middleC) {
    const int number = keyIndex + kDrumEditorNoteOffset;
    return core::Format("%s%i", kDrumNoteNames[number % 12], audio::OctaveNumber(number, middleC));
}

DrumKeyRow MakeDrumKeyRow(const DrumKit& kit, int keyIndex, audio::MiddleC middleC) {
    DrumKeyRow row;
    if (keyIndex < 0 || keyIndex >= kDrumKitKeys) {
        return row;
    }
    row.number = core::Format("%i", keyIndex + kDrumEditorNoteOffset);
    row.note = DrumNoteText(keyIndex, middleC);
    row.drumName = DrumKeyName(keyIndex);
    row.stateIcon = kit.keys[static_cast<std::size_t>(keyIndex)].state;
    return row;
}

std::vector<DrumLayerRow> MakeDrumLayerRows(const DrumKey& key) {
    std::vector<DrumLayerRow> rows;
    for (int j = 0; j < key.layerCount(); ++j) {
        const VelocityRange range = LayerVelocityRange(key, j);
        rows.push_back({core::PathFileName(key.layers[static_cast<std::size_t>(j)].path),
                        core::Format("%i", range.from), core::Format("%i", range.to)});
    }
    return rows;
}

std::vector<CopyChoice> CopyChoices(const DrumKit& kit, audio::MiddleC middleC) {
    std::vector<CopyChoice> choices{{-1, " - Not Set - "}};
    for (int k = 0; k < kDrumKitKeys; ++k) {
        const DrumKey& key = kit.keys[static_cast<std::size_t>(k)];
        if (key.state != kKeyOwnLayers || key.defineOscillator != 1) {
            continue;
        }
        const std::string name = DrumKeyName(k);
        // Named as in the key list, so one key never carries two octave numbers.
        std::string text = core::Format("%i - %s", k, DrumNoteText(k, middleC).c_str());
        if (!name.empty()) {
            text += " : " + name;
        }
        choices.push_back({k, text});
    }
    return choices;
}

int SelectedCopyChoice(const std::vector<CopyChoice>& choices, const DrumKey& key) {
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].key == key.copySource && key.copySource >= 0) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

VelocityControls MakeVelocityControls(const DrumKey& key, int layer) {
    VelocityControls c;
    const int count = key.layerCount();
    if (layer < 0 || layer >= count) {
        return c;
    }
    const auto bound = [&key](int j) { return key.layers[static_cast<std::size_t>(j)].upperBound; };
    if (layer + 1 < count) {
        c.toEnabled = true;
        c.to = bound(layer);
        c.toMin = layer == 0 ? 0 : bound(layer - 1);
        c.toMax = bound(layer + 1);
    } else {
        c.to = 127;
    }
    if (layer > 0) {
        c.fromEnabled = true;
        c.from = bound(layer - 1);
        c.fromMin = layer == 1 ? 0 : bound(layer - 2);
        c.fromMax = bound(layer);
    } else {
        c.from = 0;
    }
    return c;
}

std::string OscillatorCountText(const DrumKit& kit) {
    int oscillators = 0;
    int samples = 0;
    std::int64_t bytes = 0;
    for (const DrumKey& key : kit.keys) {
        if (key.state <= 0) {
            continue;
        }
        ++oscillators;
        samples += key.layerCount();
        for (const DrumLayer& layer : key.layers) {
            bytes += layer.size;
        }
    }
    if (samples == 0) {
        return {};
    }
    std::string text =
        core::Format("%i Oscillators (%i samples, %i Ko)", oscillators, samples, static_cast<int>(bytes / 1024));
    if (oscillators > kOscillatorLimit) {
        text += " - WARNING - Fusion drums programs are limited to 64 oscillators";
    }
    return text;
}

std::vector<DrumKeyRect> DrumKeyboard() {
    std::vector<DrumKeyRect> white;
    std::vector<DrumKeyRect> black;
    int whiteBelow = 0;
    for (int key = 0; key < kDrumKitKeys; ++key) {
        if (IsBlackDrumKey(key)) {
            // Centred on the left edge of the next white key; the last one stands past the end.
            const int edge = kKeyboardLeft + kWhiteWidth * whiteBelow;
            black.push_back({key, true, edge - kBlackWidth / 2, kKeyboardTop, edge + kBlackWidth / 2 + 1,
                             kKeyboardTop + kBlackHeight + 1});
        } else {
            const int left = kKeyboardLeft + kWhiteWidth * whiteBelow;
            white.push_back({key, false, left, kKeyboardTop, left + kWhiteWidth + 1, kKeyboardTop + kWhiteHeight + 1});
            ++whiteBelow;
        }
    }
    white.insert(white.end(), black.begin(), black.end());
    return white;
}

int DrumKeyAt(int x, int y) {
    if (x < kKeyboardLeft || y < kKeyboardTop || y > kKeyboardTop + kWhiteHeight) {
        return -1;
    }
    const auto keys = DrumKeyboard();
    if (y <= kKeyboardTop + kBlackHeight) {
        for (const DrumKeyRect& rect : keys) {
            if (rect.black && x >= rect.left && x < rect.right) {
                return rect.key;
            }
        }
    }
    if (x > kKeyboardLeft + kWhiteKeys * kWhiteWidth) {
        return -1;
    }
    // Neighbouring white keys share their outline column; the right-hand key takes it.
    const int white = std::min((x - kKeyboardLeft) / kWhiteWidth, kWhiteKeys - 1);
    for (const DrumKeyRect& rect : keys) {
        if (!rect.black && rect.left == kKeyboardLeft + kWhiteWidth * white) {
            return rect.key;
        }
    }
    return -1;
}

}  // namespace velmorant::create
