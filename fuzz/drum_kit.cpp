// Feeds arbitrary text to the kit-file reader, then saves and rereads what it kept.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "create/DrumKit.h"
#include "platform/ScriptedPlatform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmorant;
    platform::ScriptedPlatform platform;  // every replacement chooser is cancelled
    create::DrumKit kit;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    create::ReadKitText(platform, text, "fuzz.fdk", kit);
    for (const create::DrumKey& key : kit.keys) {
        if (key.layerCount() > create::kMaxDrumLayers) {
            std::abort();
        }
        for (const create::DrumLayer& layer : key.layers) {
            if (layer.path.empty() || layer.upperBound < 0 || layer.upperBound > 127) {
                std::abort();
            }
        }
    }
    const std::string saved = create::FormatKitFile(kit);
    if (!saved.empty()) {
        create::DrumKit again;
        if (create::ReadKitText(platform, saved, "again.fdk", again) != 1) {
            std::abort();
        }
    }
    return 0;
}
