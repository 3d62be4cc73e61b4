// Writes a volume for the check benchmark: BANKS banks of 128 programs, listed in
// Programs/bank.txt. Each bank has 32 multisamples of 4 samples of SAMPLE_KIB KiB in folders
// named after the bank; program p plays multisamples p % 32 and (p + 1) % 32, so every
// sample is used by 8 programs.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "demo/VolumeBuilders.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s ROOT BANKS SAMPLE_KIB\n", argv[0]);
        return 2;
    }
    using namespace velmorant::demo;
    const std::string root = argv[1];
    const int banks = std::atoi(argv[2]);
    const int sampleKib = std::atoi(argv[3]);
    if (banks < 1 || banks > 500 || sampleKib < 1) {
        std::fprintf(stderr, "BANKS must be 1..500 and SAMPLE_KIB at least 1\n");
        return 2;
    }
    std::vector<std::uint8_t> sample = BuildSampleFile(440.0, 64);
    const std::uint32_t sound = static_cast<std::uint32_t>(sampleKib) * 1024 - 48;
    sample.resize(static_cast<std::size_t>(sampleKib) * 1024, 0x5A);
    sample[4] = static_cast<std::uint8_t>((sound + 40) >> 24);
    sample[5] = static_cast<std::uint8_t>((sound + 40) >> 16);
    sample[6] = static_cast<std::uint8_t>((sound + 40) >> 8);
    sample[7] = static_cast<std::uint8_t>(sound + 40);
    bool ok = true;
    std::string volumeIndex = "Number of items: " + std::to_string(banks) + "\r\n";
    int serial = 0;
    for (int b = 0; b < banks; ++b) {
        const std::string bank = "Bank " + std::to_string(b);
        volumeIndex += bank + "\r\n";
        for (int m = 0; m < 32; ++m) {
            std::vector<Reference> samples;
            for (int s = 0; s < 4; ++s) {
                const std::string name = "M" + std::to_string(m) + " S" + std::to_string(s);
                // Distinct contents, so no sample has the sound of another.
                ++serial;
                for (std::size_t at = 100; at + 4 < sample.size(); at += 4096) {
                    sample[at] = static_cast<std::uint8_t>(serial);
                    sample[at + 1] = static_cast<std::uint8_t>(serial >> 8);
                    sample[at + 2] = static_cast<std::uint8_t>(serial >> 16);
                }
                ok = ok && WriteFile(root + "/Samples/" + bank + "/" + name + ".afs", sample);
                samples.push_back({kDiskLocation, "", name});
            }
            ok = ok && WriteFile(root + "/Multisamples/" + bank + "/M" + std::to_string(m) + ".afi",
                                 BuildMultisampleFile(samples));
        }
        std::string index = "Number of items: 128\r\n";
        for (int p = 0; p < 128; ++p) {
            ProgramLayout layout;
            layout.oscillators[0] = {true, {kDiskLocation, "", "M" + std::to_string(p % 32)}};
            layout.oscillators[1] = {true, {kDiskLocation, "", "M" + std::to_string((p + 1) % 32)}};
            const std::string name = "Program " + std::to_string(p);
            ok = ok && WriteFile(root + "/Programs/" + bank + "/" + name + ".afp", BuildProgramFile(layout));
            index += name + "\r\n";
        }
        ok = ok && WriteText(root + "/Programs/" + bank + "/bank.txt", index);
    }
    ok = ok && WriteText(root + "/Programs/bank.txt", volumeIndex);
    if (!ok) {
        std::fprintf(stderr, "cannot write under %s\n", root.c_str());
        return 1;
    }
    return 0;
}
