// Writes a volume for the inspect benchmark: PROGRAMS programs in Programs/Bench, each
// playing two multisamples of two samples of SAMPLE_KIB KiB, none shared between programs.
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
    std::vector<std::uint8_t> sample = BuildSampleFile(440.0, 64);
    sample.resize(static_cast<std::size_t>(sampleKib) * 1024, 0x5A);

    for (int p = 0; p < programs; ++p) {
        ProgramLayout layout;
        for (int m = 0; m < 2; ++m) {
            const std::string name = "P" + std::to_string(p) + "M" + std::to_string(m);
            std::vector<Reference> samples;
            for (int s = 0; s < 2; ++s) {
                const std::string sampleName = name + "S" + std::to_string(s);
                sample[100] = static_cast<std::uint8_t>(p);  // distinct contents
                sample[101] = static_cast<std::uint8_t>(m * 2 + s);
                if (!WriteFile(root + "/Samples/Bench/" + sampleName + ".afs", sample)) {
                    std::fprintf(stderr, "cannot write under %s\n", root.c_str());
                    return 1;
                }
                samples.push_back({kDiskLocation, "Bench", sampleName});
            }
            WriteFile(root + "/Multisamples/Bench/" + name + ".afi", BuildMultisampleFile(samples));
            layout.oscillators[static_cast<std::size_t>(m)] = {true, {kDiskLocation, "Bench", name}};
        }
        WriteFile(root + "/Programs/Bench/Program " + std::to_string(p) + ".afp", BuildProgramFile(layout));
    }
    return 0;
}
