// Loads arbitrary bytes as a program of a volume held in memory, with a multisample taken
// from the same input, through the whole import path, then checks the JSON and text reports
// of what was loaded: valid UTF-8 whatever the names hold.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "bank/Bank.h"
#include "bank/BankIndex.h"
#include "cli/ProgramReport.h"
#include "core/Encoding.h"
#include "core/FileSource.h"
#include "demo/VolumeBuilders.h"
#include "volume/DependencyRows.h"
#include "volume/Summary.h"

namespace {

using velmorant::core::MemoryFiles;

constexpr const char* kRoot = "/Volume";
const std::string kProgram = std::string(kRoot) + "/Programs/Bank1/P.afp";

// Every name the seeds (the demo programs) use leads to the fuzzed multisample or to a sample.
const char* const kMultisamples[] = {"Bank1/M", "Keys/Piano", "Keys/Choir", "Bank1/Pad", "Created/Synth Keys"};

MemoryFiles& Files() {
    static MemoryFiles* const files = [] {
        auto* made = new MemoryFiles;
        const std::vector<std::uint8_t> sample = velmorant::demo::BuildSampleFile(440.0, 64);
        for (const char* name : {"Bank1/S", "Keys/Piano C2", "Keys/Piano C4", "Keys/Piano C6", "Keys/Choir Ah",
                                 "Keys/Choir Oh", "Bank1/Pad Low", "Bank1/Pad High", "Drums/Kick", "Drums/Kick Hard",
                                 "Drums/Snare", "Drums/Snare Rim", "Drums/Hat Closed"}) {
            made->Add(std::string(kRoot) + "/Samples/" + name + ".afs", sample);
        }
        return made;
    }();
    return *files;
}

bool ValidUtf8(const std::string& text) {
    for (std::size_t pos = 0; pos < text.size();) {
        if (!velmorant::core::NextUtf8CodePoint(text, pos)) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmorant;
    // The first two bytes say where the program ends and the multisample starts.
    if (size < 2) {
        return 0;
    }
    const std::size_t split = std::min<std::size_t>(static_cast<std::size_t>(data[0]) << 8 | data[1], size - 2);
    const std::span<const std::uint8_t> bytes(data + 2, size - 2);
    MemoryFiles& files = Files();
    files.Add(kProgram, bytes.first(split));
    for (const char* name : kMultisamples) {
        files.Add(std::string(kRoot) + "/Multisamples/" + name + ".afi", bytes.subspan(split));
    }

    static bank::Bank bank;
    bank.files = &files;
    const bank::AddResult result = bank::AddProgram(bank, -1, kProgram);
    if (!result.loadedSlot) {
        return 0;
    }
    volume::ProgramRecord& record = bank.slots[static_cast<std::size_t>(*result.loadedSlot)];
    if (result.placed()) {
        bank::FindProgramCategories(record);
        volume::BuildProgramSummary(record);
    }
    if (record.dependencies.size() > volume::kMaxDependencies || record.log.size() >= volume::kMaxLogLength) {
        std::abort();
    }
    // Throws, and so aborts, on text that is not UTF-8.
    (void)cli::ProgramToJson(record).dump();
    if (!ValidUtf8(cli::ProgramText(record))) {
        std::abort();
    }
    record = volume::ProgramRecord{};
    return 0;
}
