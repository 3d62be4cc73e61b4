// Feeds arbitrary text to the kit-file reader, then writes what it kept and reads that back:
// the second reading must give the same keys.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <tuple>

#include "formats/DrumKitFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmorant::formats;
    const KitText read = ParseKitText(std::string_view(reinterpret_cast<const char*>(data), size));
    DrumKit kit;
    for (const KitLine& line : read.lines) {
        if (line.index < 0) {
            continue;
        }
        if (line.index >= kDrumKitKeys || line.key.layerCount() > kMaxDrumLayers) {
            std::abort();
        }
        for (const DrumLayer& layer : line.key.layers) {
            if (layer.path.empty() || layer.upperBound < 0 || layer.upperBound > 127) {
                std::abort();
            }
        }
        kit.keys[static_cast<std::size_t>(line.index)] = line.key;
    }
    const std::string saved = FormatKitText(kit);
    if (saved.empty()) {
        return 0;
    }
    const KitText again = ParseKitText(saved);
    if (again.result != DrumKitResult::kOk || again.lines.size() != static_cast<std::size_t>(kDrumKitKeys)) {
        std::abort();
    }
    for (const KitLine& line : again.lines) {
        const DrumKey& a = kit.keys[static_cast<std::size_t>(line.number - 2)];
        const DrumKey& b = line.key;
        if (line.index != static_cast<int>(line.number - 2) || a.layerCount() != b.layerCount() ||
            std::tie(a.state, a.copySource, a.defineOscillator, a.preset) !=
                std::tie(b.state, b.copySource, b.defineOscillator, b.preset)) {
            std::abort();
        }
        for (std::size_t j = 0; j < a.layers.size(); ++j) {
            if (a.layers[j].path != b.layers[j].path || a.layers[j].upperBound != b.layers[j].upperBound) {
                std::abort();
            }
        }
    }
    return 0;
}
