// Reads arbitrary bytes as a multisample file, writes the zones it found and reads them back.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "core/Bytes.h"
#include "formats/MultisampleFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmorant::formats;
    const std::span<const std::uint8_t> file(data, size);
    const MultisampleContents contents = ReadMultisample(file);
    if (contents.entries.size() > contents.declaredCount || contents.entries.size() > kMultisampleMaxEntries) {
        std::abort();
    }
    const velmorant::core::ByteReader reader(file);
    std::vector<MultisampleZoneEntry> zones;
    for (const MultisampleEntryView& entry : contents.entries) {
        // A cut last entry is listed when its reference is whole; its later fields may be missing.
        if (!reader.has(entry.offset + kEntryReference, kReferenceSize)) {
            std::abort();
        }
        MultisampleZoneEntry zone;
        zone.rightKey = reader.u8(entry.offset + kEntryRightKey).value_or(zone.rightKey);
        zone.leftKey = reader.u8(entry.offset + kEntryLeftKey).value_or(zone.leftKey);
        zone.velocityHigh = reader.u8(entry.offset + kEntryVelocityHigh).value_or(zone.velocityHigh);
        zone.velocityLow = reader.u8(entry.offset + kEntryVelocityLow).value_or(zone.velocityLow);
        zone.rootKey = reader.u8(entry.offset + kEntryRootKey).value_or(zone.rootKey);
        std::copy(entry.reference.begin(), entry.reference.end(), zone.reference.begin());
        zones.push_back(zone);
    }
    std::vector<std::uint8_t> written;
    if (BuildMultisample(zones, written) != MultisampleResult::kDone) {
        std::abort();
    }
    const MultisampleContents again = ReadMultisample(written);
    if (again.result != MultisampleResult::kDone || again.entries.size() != zones.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < zones.size(); ++i) {
        if (!std::equal(again.entries[i].reference.begin(), again.entries[i].reference.end(),
                        zones[i].reference.begin())) {
            std::abort();
        }
    }
    return 0;
}
