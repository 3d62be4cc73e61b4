#include "create/MultisampleEditor.h"

#include "core/Path.h"
#include "core/Text.h"

namespace velmorant::create {

namespace {

constexpr const char* kNoteLetters[12] = {"C  ", "C#", "D  ", "D#", "E  ", "F  ",
                                          "F#", "G  ", "G#", "A  ", "A#", "B  "};

bool IsBlackKey(int key) {
    const int n = key % 12;
    return n == 1 || n == 3 || n == 6 || n == 8 || n == 10;
}

}  // namespace

std::string NoteName(int key, audio::MiddleC middleC) {
    if (key < 0 || key > 127) {
        return {};
    }
    return core::Format("%s%i", kNoteLetters[key % 12], audio::OctaveNumber(key, middleC));
}

SampleRow MakeSampleRow(const SampleEntry& entry, audio::MiddleC middleC) {
    SampleRow row;
    row.name = core::PathBaseName(entry.path);
    row.image = entry.locked != 0 ? 1 : 0;
    row.size = core::Format("%iKb", static_cast<int>(entry.fileSize / 1024 + 1));
    row.root = core::Format("%s (%i)", create::NoteName(entry.rootKey, middleC).c_str(), entry.rootKey);
    row.notes = core::Format("%s - %s (%i-%i)", create::NoteName(entry.leftKey, middleC).c_str(),
                             create::NoteName(entry.rightKey, middleC).c_str(),
                             entry.leftKey, entry.rightKey);
    row.velocity = core::Format("%i-%i", entry.velocityLow, entry.velocityHigh);
    return row;
}

bool ZoneIsValid(const ZoneChoice& zone) {
    const auto key = [](int k) { return k >= 0 && k <= 127; };
    return key(zone.rootKey) && key(zone.leftKey) && key(zone.rightKey) && zone.leftKey <= zone.rightKey;
}

int ApplyZone(platform::Platform& platform, SampleEntry& entry, const ZoneChoice& zone) {
    if (!ZoneIsValid(zone)) {
        platform.ShowMessage(kLeftAboveRightWarning, "Warning", platform::Icon::kWarning);
        return 0;
    }
    entry.rootKey = zone.rootKey;
    entry.rightKey = zone.rightKey;
    entry.leftKey = zone.leftKey;
    entry.locked = zone.locked ? 1 : 0;
    return 1;
}

void RemoveSample(std::vector<SampleEntry>& entries, int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < entries.size()) {
        entries.erase(entries.begin() + index);
    }
}

int KeyCover(const std::vector<SampleEntry>& entries, int key) {
    int cover = 0;
    for (const SampleEntry& entry : entries) {
        if (entry.leftKey <= key && key <= entry.rightKey) {
            ++cover;
        }
    }
    return cover;
}

KeyPaint KeyPaintFor(int cover) {
    return cover == 0 ? KeyPaint::kUncovered : cover == 1 ? KeyPaint::kCoveredOnce : KeyPaint::kOverlapped;
}

std::vector<KeyRect> MultisampleKeyboard() {
    std::vector<KeyRect> white;
    std::vector<KeyRect> black;
    int whiteBelow = 0;
    for (int key = 0; key < 128; ++key) {
        if (IsBlackKey(key)) {
            black.push_back({key, true, 15 + 9 * whiteBelow, 16, 21 + 9 * whiteBelow, 44});
        } else {
            white.push_back({key, false, 18 + 9 * whiteBelow, 16, 28 + 9 * whiteBelow, 62});
            ++whiteBelow;
        }
    }
    white.insert(white.end(), black.begin(), black.end());
    return white;
}

}  // namespace velmorant::create
