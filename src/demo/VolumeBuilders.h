#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace velmorant::demo {

// Byte builders for instrument files, used by the demo volume, the tests and the fuzzers.

struct Reference {
    std::string location;  // character 6 carries the volume digit in a program; "" resolves on the same volume
    std::string folder;    // "" means the referencing file's own folder
    std::string name;
};

// A location text whose volume digit is 1, as the instrument writes for files on its disk.
inline const char* const kDiskLocation = "Local 1";
// A location that names no disk: the reference is to a ROM sound.
inline const char* const kRomLocation = "ROM";

struct Oscillator {
    bool enabled = false;
    Reference reference;
};

struct DrumZone {
    int key = 0;   // 0..63
    int zone = 0;  // 0..3
    bool enabled = true;
    Reference reference;
};

struct ProgramLayout {
    std::string tag = "mpsa";  // four characters
    std::uint16_t mods = 0;
    std::uint16_t envelopes = 0;
    std::uint16_t lfos = 0;
    std::uint16_t patterns = 0;
    std::array<Oscillator, 4> oscillators{};  // type "mpsa"
    std::vector<DrumZone> zones;              // type "umdr"
};

std::vector<std::uint8_t> BuildProgramFile(const ProgramLayout& layout);
std::vector<std::uint8_t> BuildMultisampleFile(const std::vector<Reference>& samples);
// A short sine tone as a sample file (16-bit big-endian mono after a 48-byte header).
std::vector<std::uint8_t> BuildSampleFile(double frequencyHz, int frames);

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
bool WriteText(const std::string& path, const std::string& text);

}  // namespace velmorant::demo
