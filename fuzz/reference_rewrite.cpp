// Loads arbitrary bytes as a program (and its multisamples) of a volume held in memory, then
// rewrites every reference the way an export renames its copies, into a second volume holding
// the copies under their new names, and loads the rewritten program from there: each reference
// must name its copy, and a ROM reference must stay a ROM reference.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "bank/Bank.h"
#include "core/Bytes.h"
#include "core/FileSource.h"
#include "demo/VolumeBuilders.h"
#include "formats/MultisampleFile.h"
#include "formats/ReferenceRecord.h"

namespace {

using namespace velmorant;
using volume::DependencyKind;
using volume::DependencyRecord;

// Every name the seeds (the demo programs) use leads to the fuzzed multisample or to a sample.
const char* const kMultisamples[] = {"Bank1/M", "Keys/Piano", "Keys/Choir", "Bank1/Pad", "Created/Synth Keys"};
const char* const kSamples[] = {"Bank1/S", "Keys/Piano C2", "Keys/Piano C4", "Keys/Piano C6", "Keys/Choir Ah",
                                "Keys/Choir Oh", "Bank1/Pad Low", "Bank1/Pad High", "Drums/Kick", "Drums/Kick Hard",
                                "Drums/Snare", "Drums/Snare Rim", "Drums/Hat Closed"};

const std::vector<std::uint8_t>& SampleBytes() {
    static const std::vector<std::uint8_t> sample = demo::BuildSampleFile(440.0, 16);
    return sample;
}

// The program's record as the import path loads it; nullptr when it does not load.
const volume::ProgramRecord* Load(bank::Bank& bank, core::MemoryFiles& files, const std::string& path) {
    bank.files = &files;
    const bank::AddResult result = bank::AddProgram(bank, -1, path);
    return result.placed() ? &bank.slots[static_cast<std::size_t>(*result.slot)] : nullptr;
}

bool Rewrite(std::vector<std::uint8_t>& bytes, std::int32_t offset, const std::string& name) {
    core::ByteWriter writer(bytes);
    return offset >= 0 && formats::RewriteReference(writer, static_cast<std::size_t>(offset),
                                                    formats::ReferenceRewrite{std::string("Out"), name}) ==
                              formats::ReferenceResult::kDone;
}

bool IsCopied(const DependencyRecord& dependency) {
    return dependency.kind != DependencyKind::kRom && dependency.volumeNumber >= 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first two bytes say where the program ends and the multisample starts.
    if (size < 2) {
        return 0;
    }
    const std::size_t split = std::min<std::size_t>(static_cast<std::size_t>(data[0]) << 8 | data[1], size - 2);
    const std::span<const std::uint8_t> bytes(data + 2, size - 2);
    core::MemoryFiles source;
    source.Add("/Source/Programs/Bank1/P.afp", bytes.first(split));
    for (const char* name : kMultisamples) {
        source.Add(std::string("/Source/Multisamples/") + name + ".afi", bytes.subspan(split));
    }
    for (const char* name : kSamples) {
        source.Add(std::string("/Source/Samples/") + name + ".afs", SampleBytes());
    }
    bank::Bank first;
    const volume::ProgramRecord* loaded = Load(first, source, "/Source/Programs/Bank1/P.afp");
    if (loaded == nullptr) {
        return 0;
    }
    const volume::ProgramRecord original = *loaded;

    // Copy i is "C<i>"; sample j of multisample i is "C<i>S<j>", all in the folders "Out".
    core::MemoryFiles copies;
    std::vector<std::uint8_t> program(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(split));
    std::set<std::string> expected;
    for (std::size_t i = 0; i < original.dependencies.size(); ++i) {
        const DependencyRecord& dependency = original.dependencies[i];
        if (!IsCopied(dependency)) {
            continue;
        }
        const std::string name = "C" + std::to_string(i);
        if (!Rewrite(program, dependency.referenceOffset, name)) {
            return 0;  // an export refuses such a program
        }
        if (dependency.kind == DependencyKind::kSample) {
            copies.Add("/Dest/Samples/Out/" + name + ".afs", SampleBytes());
            expected.insert("/Dest/Samples/Out/" + name + ".afs");
            continue;
        }
        std::vector<std::uint8_t> multisample(bytes.begin() + static_cast<std::ptrdiff_t>(split), bytes.end());
        for (std::size_t j = 0; j < dependency.samples.size(); ++j) {
            const DependencyRecord& sample = dependency.samples[j];
            if (!IsCopied(sample)) {
                continue;
            }
            const std::string sampleName = name + "S" + std::to_string(j);
            // A sample's offset is its entry's; the reference lies inside the entry.
            if (!Rewrite(multisample, sample.referenceOffset + static_cast<std::int32_t>(formats::kEntryReference),
                         sampleName)) {
                std::abort();  // the reader found this entry inside the file
            }
            copies.Add("/Dest/Samples/Out/" + sampleName + ".afs", SampleBytes());
            expected.insert("/Dest/Samples/Out/" + sampleName + ".afs");
        }
        copies.Add("/Dest/Multisamples/Out/" + name + ".afi", multisample);
        expected.insert("/Dest/Multisamples/Out/" + name + ".afi");
    }
    copies.Add("/Dest/Programs/Out/P.afp", program);

    bank::Bank second;
    const volume::ProgramRecord* again = Load(second, copies, "/Dest/Programs/Out/P.afp");
    if (again == nullptr || again->dependencies.size() != original.dependencies.size()) {
        std::abort();
    }
    std::set<std::string> found;
    for (std::size_t i = 0; i < original.dependencies.size(); ++i) {
        const DependencyRecord& before = original.dependencies[i];
        const DependencyRecord& after = again->dependencies[i];
        if (IsCopied(before) != IsCopied(after) || (!IsCopied(before) && after.foundName != before.foundName)) {
            std::abort();
        }
        found.insert(after.sourcePath);
        for (const DependencyRecord& sample : after.samples) found.insert(sample.sourcePath);
    }
    // Every copy is named by the rewritten files; an entry the rewrite left alone (a repeated
    // sample the record lists once) may still name its source.
    if (!std::includes(found.begin(), found.end(), expected.begin(), expected.end())) {
        std::abort();
    }
    return 0;
}
