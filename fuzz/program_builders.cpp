// Builds a drum program and a multisample program from arbitrary kits, zones and names, held
// in memory as the builders would lay them out on a volume, then loads each program through
// the import path: every reference it holds must name a file the build wrote, and nothing else.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "bank/Bank.h"
#include "core/FileSource.h"
#include "core/Path.h"
#include "core/Text.h"
#include "create/DrumProgram.h"
#include "create/Multisample.h"

namespace {

using namespace velmorant;

// Reads the input a byte at a time; zeros once it runs out.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }
    // A name a chosen file could have: no separator, no NUL, at most `most` bytes.
    std::string name(std::size_t most) {
        std::string text;
        for (std::size_t n = next() % (most + 1); n > 0; --n) {
            const char c = static_cast<char>(next());
            text += c == '/' || c == '\0' ? '_' : c;
        }
        return text;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

constexpr const char* kFolder = "/Volume/Programs/Built";

// The sample names the loaded program's dependencies found, level 1 and 2.
std::set<std::string> FoundFiles(const volume::ProgramRecord& record) {
    std::set<std::string> found;
    for (const volume::DependencyRecord& dependency : record.dependencies) {
        found.insert(dependency.sourcePath);
        for (const volume::DependencyRecord& sample : dependency.samples) found.insert(sample.sourcePath);
    }
    return found;
}

// Loads the program from memory; aborts unless every reference was found.
volume::ProgramRecord Load(core::MemoryFiles& files, const std::string& path) {
    bank::Bank bank;
    bank.files = &files;
    const bank::AddResult result = bank::AddProgram(bank, -1, path);
    if (!result.placed()) {
        std::abort();
    }
    return bank.slots[static_cast<std::size_t>(*result.slot)];
}

void Drums(Bytes& in) {
    create::DrumKit kit;
    for (int k = 0; k < create::kDrumKitKeys; ++k) {
        const std::uint8_t b = in.next();
        if (b < 0xC0) continue;  // most keys stay unused
        create::DrumKey& key = kit.keys[static_cast<std::size_t>(k)];
        key.state = b % 3 == 0 ? create::kKeyCopy : create::kKeyOwnLayers;
        key.copySource = in.next() % (create::kDrumKitKeys + 1) - 1;
        for (int j = b % (create::kMaxDrumLayers + 1); j > 0; --j) {
            key.layers.push_back({"in.wav", in.next() % 128, 0});
        }
    }
    std::string name = in.name(create::kMaxDrumProgramName);
    if (core::TrimSpaces(name).empty()) name.assign(1, 'K');  // not = "K": GCC 12 warns falsely (-Wrestrict) on that assignment
    const create::DrumProgramPlan plan = create::PlanDrumProgram(kit, name);

    core::MemoryFiles files;
    const std::string program = core::JoinPath(kFolder, name + ".afp", '/');
    files.Add(program, plan.bytes);
    std::set<std::string> written;
    for (const create::DrumProgramPlan::Sample& sample : plan.samples) {
        // Folder-less references are looked for in the folder named like the program's.
        const std::string path = "/Volume/Samples/Built/" + sample.name + ".afs";
        files.Add(path, std::vector<std::uint8_t>(48, 0));
        written.insert(path);
    }
    if (FoundFiles(Load(files, program)) != written) {
        std::abort();
    }
}

void Multisample(Bytes& in) {
    std::vector<create::SampleEntry> entries(in.next() % 12 + 1);
    for (create::SampleEntry& entry : entries) {
        entry.rootKey = in.next() % 128;
        entry.leftKey = in.next() % 128;
        entry.rightKey = std::max<int>(entry.leftKey, in.next() % 128);
        entry.velocityLow = in.next() % 128;
        entry.velocityHigh = 127;
    }
    const std::string name = in.name(48);
    // No folder exists at this path, so every first-choice name is free.
    const std::vector<std::string> fileNames = create::PlanSampleFileNames(name, entries, "/nonexistent-velmorant");
    const create::MultisampleFiles built = create::PlanMultisampleFiles(name, entries, fileNames);
    if (built.multisampleName.empty() || core::TrimSpaces(name).empty()) {
        return;  // refused by the build
    }
    core::MemoryFiles files;
    const std::string program = core::JoinPath(kFolder, name + ".afp", '/');
    files.Add(program, built.program);
    const std::string multisample = "/Volume/Multisamples/Built/" + built.multisampleName + ".afi";
    files.Add(multisample, built.multisample);
    std::set<std::string> written = {multisample};
    for (const std::string& fileName : fileNames) {
        const std::string path = "/Volume/Samples/Built/" + fileName;
        files.Add(path, std::vector<std::uint8_t>(48, 0));
        written.insert(path);
    }
    if (fileNames.size() != entries.size() || FoundFiles(Load(files, program)) != written) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    if (in.next() % 2 == 0) {
        Drums(in);
    } else {
        Multisample(in);
    }
    return 0;
}
