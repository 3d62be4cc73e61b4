// Loads arbitrary bytes as a program file of a scratch volume, with a multisample
// file taken from the same input, through the whole import path.
#include <cstdint>
#include <cstring>
#include <random>
#include <filesystem>
#include <string>
#include <vector>

#include "bank/Bank.h"
#include "bank/BankIndex.h"
#include "demo/VolumeBuilders.h"
#include "volume/Summary.h"

namespace {

struct Scratch {
    std::string root;
    std::string program;
    std::string multisample;
    Scratch() {
        namespace fs = std::filesystem;
        root = (fs::temp_directory_path() / ("velmorant-fuzz-" + std::to_string(std::random_device{}()))).string();
        fs::create_directories(root + "/Programs/Bank1");
        fs::create_directories(root + "/Multisamples/Bank1");
        fs::create_directories(root + "/Samples/Bank1");
        program = root + "/Programs/Bank1/P.afp";
        multisample = root + "/Multisamples/Bank1/M.afi";
        // A sample the multisample may name, so level 2 finds files too.
        velmorant::demo::WriteFile(root + "/Samples/Bank1/S.afs", velmorant::demo::BuildSampleFile(440.0, 64));
        // The names the demo programs use (the seeds) all lead to the fuzzed multisample and the sample.
        std::error_code ec;
        for (const char* folder : {"Keys", "Drums", "Strings"}) {
            fs::create_directories(root + "/Multisamples/" + folder, ec);
            fs::create_directories(root + "/Samples/" + folder, ec);
        }
        for (const char* name : {"Keys/Piano", "Keys/Choir", "Bank1/Pad"}) {
            fs::create_symlink(multisample, root + "/Multisamples/" + name + ".afi", ec);
        }
        for (const char* name : {"Keys/Piano C2", "Keys/Piano C4", "Keys/Piano C6", "Keys/Choir Ah", "Keys/Choir Oh",
                                 "Bank1/Pad Low", "Bank1/Pad High", "Drums/Kick", "Drums/Kick Hard", "Drums/Snare",
                                 "Drums/Snare Rim", "Drums/Hat Closed"}) {
            fs::create_symlink(root + "/Samples/Bank1/S.afs", root + "/Samples/" + name + ".afs", ec);
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Scratch scratch;
    // The first two bytes say where the program ends and the multisample starts.
    if (size < 2) {
        return 0;
    }
    std::size_t split = (static_cast<std::size_t>(data[0]) << 8 | data[1]);
    data += 2;
    size -= 2;
    split = std::min(split, size);
    velmorant::demo::WriteFile(scratch.program, std::vector<std::uint8_t>(data, data + split));
    velmorant::demo::WriteFile(scratch.multisample, std::vector<std::uint8_t>(data + split, data + size));

    velmorant::bank::Bank bank;
    const int slot = velmorant::bank::AddProgram(bank, -1, scratch.program);
    if (slot >= 0) {
        velmorant::bank::FindProgramCategories(bank.slots[static_cast<std::size_t>(slot)]);
        velmorant::volume::BuildProgramSummary(bank.slots[static_cast<std::size_t>(slot)]);
    }
    return 0;
}
