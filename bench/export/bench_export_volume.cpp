// Writes a volume for the export benchmark: PROGRAMS programs in Programs/Bench with their
// bank.txt, each playing two multisamples of two samples of SAMPLE_KIB KiB; every fourth
// program also plays the first multisample of program 0, so some files are shared.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "demo/VolumeBuilders.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s ROOT PROGRAMS SAMPLE_KIB\n", argv[0]);
        return 2;
    }
    using namespace velmorant::demo;
    const std::string root = argv[1];
    const int programs = std::atoi(argv[2]);
    const int sampleKib = std::atoi(argv[3]);
    if (programs < 1 || programs > 128 || sampleKib < 1) {
        std::fprintf(stderr, "PROGRAMS must be 1..128 and SAMPLE_KIB at least 1\n");
        return 2;
    }
    std::vector<std::uint8_t> sample = BuildSampleFile(440.0, 64);
    sample.resize(static_cast<std::size_t>(sampleKib) * 1024, 0x5A);
    bool ok = true;
    std::string index = "Number of items: " + std::to_string(programs) + "\r\n";

    for (int p = 0; p < programs; ++p) {
        ProgramLayout layout;
        for (int m = 0; m < 2; ++m) {
            const std::string name = "P" + std::to_string(p) + "M" + std::to_string(m);
            std::vector<Reference> samples;
            for (int s = 0; s < 2; ++s) {
                const std::string sampleName = name + "S" + std::to_string(s);
                // Distinct contents, so no copy could be mistaken for another.
                for (std::size_t at = 100; at < sample.size(); at += 4096) {
                    sample[at] = static_cast<std::uint8_t>(p);
                    sample[at + 1] = static_cast<std::uint8_t>(m * 2 + s);
                }
                ok = ok && WriteFile(root + "/Samples/Bench/" + sampleName + ".afs", sample);
                samples.push_back({kDiskLocation, "Bench", sampleName});
            }
            ok = ok && WriteFile(root + "/Multisamples/Bench/" + name + ".afi", BuildMultisampleFile(samples));
            layout.oscillators[static_cast<std::size_t>(m)] = {true, {kDiskLocation, "Bench", name}};
        }
        if (p % 4 == 3) {
            layout.oscillators[2] = {true, {kDiskLocation, "Bench", "P0M0"}};
        }
        const std::string programName = "Program " + std::to_string(p);
        ok = ok && WriteFile(root + "/Programs/Bench/" + programName + ".afp", BuildProgramFile(layout));
        index += programName + "\r\n";
    }
    ok = ok && WriteText(root + "/Programs/Bench/bank.txt", index);
    if (!ok) {
        std::fprintf(stderr, "cannot write under %s\n", root.c_str());
        return 1;
    }
    return 0;
}
