#include "formats/DrumKitFile.h"

#include <algorithm>

#include "core/AtomicWrite.h"
#include "core/File.h"
#include "core/Text.h"

namespace velmorant::formats {

namespace {

using core::LeadingNumber;

// A zero byte would cut the path short when written.
bool StorablePath(const std::string& path) {
    return path.find_first_of(std::string_view("|\r\n\0", 4)) == std::string::npos;
}

// A line that a save could have written: key and layer count in range, every layer with a
// path. Answers the first field found wrong, or nullptr.
const char* KeyLineProblem(const std::vector<std::string>& fields) {
    if (fields.size() < kKitKeyFields) {
        return "field count";
    }
    const int key = LeadingNumber(fields[0]);
    const int count = LeadingNumber(fields[1]);
    const int state = LeadingNumber(fields[2]);
    const int copySource = LeadingNumber(fields[3]);
    const int define = LeadingNumber(fields[4]);
    const int preset = LeadingNumber(fields[5]);
    if (key < 0 || key >= kDrumKitKeys) return "key index";
    if (count < 0 || count > kMaxDrumLayers) return "layer count";
    if (state < kKeyNotInUse || state > kKeyCopy) return "state";
    if (copySource < -1 || copySource >= kDrumKitKeys) return "copy source";
    if (define < 0 || define > 1) return "define oscillator";
    if (preset < 0 || preset > 2) return "preset";
    if (fields.size() < kKitKeyFields + 2 * static_cast<std::size_t>(count)) {
        return "field count";
    }
    for (int j = 0; j < count; ++j) {
        if (fields[kKitKeyFields + 2 * static_cast<std::size_t>(j)].empty()) {
            return "layer path";
        }
    }
    return nullptr;
}

}  // namespace

std::string DrumKitMessage(DrumKitResult result, std::string_view subject, std::size_t line) {
    const std::string what(subject);
    switch (result) {
        case DrumKitResult::kOk: return {};
        case DrumKitResult::kCannotOpen: return "Cannot open file !";
        case DrumKitResult::kNotKitFile: return "Sorry, cannot open this file format.";
        case DrumKitResult::kBadLine:
            return core::Format("Line %i of %s is not a valid key line; it was skipped.", static_cast<int>(line),
                                what.c_str());
        case DrumKitResult::kPathNotStorable:
            return core::Format("The sample path %s holds \"|\" or a line end, which a kit file cannot store. "
                                "Nothing was saved.",
                                what.c_str());
        case DrumKitResult::kExists: return "File already Exist !";
        case DrumKitResult::kCannotCreate: return core::Format("Cannot create the file %s", what.c_str());
    }
    return {};
}

KitText ParseKitText(std::string_view text) {
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
    KitText kit;
    if (lines.empty() || !core::StartsWith(lines.front(), kKitFileMagic)) {
        kit.result = DrumKitResult::kNotKitFile;
        return kit;
    }
    for (std::size_t n = 1; n < lines.size(); ++n) {
        if (core::TrimSpaces(lines[n]).empty()) {
            continue;
        }
        KitLine& line = kit.lines.emplace_back();
        line.number = n + 1;
        const std::vector<std::string> fields = core::SplitText(lines[n], "|", true);
        if (const char* problem = KeyLineProblem(fields)) {
            line.badField = problem;
            continue;
        }
        line.index = LeadingNumber(fields[0]);
        const int count = LeadingNumber(fields[1]);
        line.key.state = LeadingNumber(fields[2]);
        line.key.copySource = LeadingNumber(fields[3]);
        line.key.defineOscillator = LeadingNumber(fields[4]);
        line.key.preset = LeadingNumber(fields[5]);
        for (std::size_t j = 0; j < static_cast<std::size_t>(count); ++j) {
            const int bound = LeadingNumber(fields[kKitKeyFields + 2 * j + 1]);
            line.key.layers.push_back(DrumLayer{fields[kKitKeyFields + 2 * j], std::clamp(bound, 0, 127), 0});
        }
    }
    return kit;
}

const std::string* FirstUnstorablePath(const DrumKit& kit) {
    for (const DrumKey& key : kit.keys) {
        for (const DrumLayer& layer : key.layers) {
            if (!StorablePath(layer.path)) {
                return &layer.path;
            }
        }
    }
    return nullptr;
}

std::string FormatKitText(const DrumKit& kit) {
    if (FirstUnstorablePath(kit) != nullptr) {
        return {};
    }
    std::string text = std::string(kKitFileHeader) + "\r\n";
    for (int index = 0; index < kDrumKitKeys; ++index) {
        const DrumKey& key = kit.keys[static_cast<std::size_t>(index)];
        text += core::Format("%i|%i|%i|%i|%i|%i|", index, key.layerCount(), key.state, key.copySource,
                             key.defineOscillator, key.preset);
        for (int j = 0; j < kMaxDrumLayers; ++j) {
            if (j < key.layerCount()) {
                const DrumLayer& layer = key.layers[static_cast<std::size_t>(j)];
                text += core::Format("%s|%i|", layer.path.c_str(), layer.upperBound);
            } else {
                text += "|0|";
            }
        }
        text += "\r\n";
    }
    return text;
}

DrumKitResult WriteKitFile(const std::string& path, const DrumKit& kit, core::FileStatus* status) {
    if (FirstUnstorablePath(kit) != nullptr) {
        return DrumKitResult::kPathNotStorable;
    }
    const core::FileStatus written = core::WriteFileAtomically(path, FormatKitText(kit));
    if (status != nullptr) {
        *status = written;
    }
    return written ? DrumKitResult::kOk : DrumKitResult::kCannotCreate;
}

}  // namespace velmorant::formats
