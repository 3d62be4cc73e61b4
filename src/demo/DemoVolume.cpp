#include "demo/DemoVolume.h"

#include <vector>

#include "core/Path.h"
#include "demo/DemoContent.h"
#include "demo/VolumeBuilders.h"

namespace velmorant::demo {
namespace {

struct Writer {
    std::string root;
    std::string error;

    std::string Path(std::initializer_list<std::string_view> parts) const {
        std::string path = root;
        for (std::string_view part : parts) {
            path = core::JoinPath(path, part);
        }
        return path;
    }
    void Bytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
        if (error.empty() && !WriteFile(path, bytes)) {
            error = "cannot write " + path;
        }
    }
    void Text(const std::string& path, const std::string& text) {
        if (error.empty() && !WriteText(path, text)) {
            error = "cannot write " + path;
        }
    }
    void Sample(std::string_view folder, std::string_view name, double hz) {
        Bytes(Path({"Samples", folder, std::string(name) + ".afs"}), BuildSampleFile(hz, 4000));
    }
};

Reference Disk(std::string folder, std::string name) {
    return Reference{kDiskLocation, std::move(folder), std::move(name)};
}

}  // namespace

bool WriteDemoVolume(const std::string& root, std::string& error) {
    Writer w{root, {}};

    // Samples.
    w.Sample("Keys", "Piano C2", 65.41);
    w.Sample("Keys", "Piano C4", 261.63);
    w.Sample("Keys", "Piano C6", 1046.5);
    w.Sample("Keys", "Choir Ah", 220.0);
    w.Sample("Keys", "Choir Oh", 330.0);
    w.Sample("Bank1", "Pad Low", 110.0);
    w.Sample("Bank1", "Pad High", 440.0);
    w.Sample("Drums", "Kick", 55.0);
    w.Sample("Drums", "Kick Hard", 60.0);
    w.Sample("Drums", "Snare", 180.0);
    w.Sample("Drums", "Snare Rim", 400.0);
    w.Sample("Drums", "Hat Closed", 3000.0);

    // Multisamples. Piano names its samples' folder; Pad leaves it empty, so its samples
    // are looked up in the folder named like its own (Samples/Bank1); Choir lists one sample twice.
    w.Bytes(w.Path({"Multisamples", "Keys", "Piano.afi"}),
            BuildMultisampleFile({Disk("Keys", "Piano C2"), Disk("Keys", "Piano C4"), Disk("Keys", "Piano C6")}));
    w.Bytes(w.Path({"Multisamples", "Bank1", "Pad.afi"}),
            BuildMultisampleFile({Disk("", "Pad Low"), Disk("", "Pad High")}));
    w.Bytes(w.Path({"Multisamples", "Keys", "Choir.afi"}),
            BuildMultisampleFile({Disk("Keys", "Choir Ah"), Disk("Keys", "Choir Oh"), Disk("Keys", "Choir Ah")}));

    // Bank1: sample programs.
    ProgramLayout piano;
    piano.mods = 2;
    piano.envelopes = 3;
    piano.lfos = 1;
    piano.oscillators[0] = {true, Disk("Keys", "Piano")};
    piano.oscillators[1] = {true, Disk("Keys", "Piano")};
    piano.oscillators[2] = {false, Disk("Keys", "Choir")};
    w.Bytes(w.Path({"Programs", "Bank1", "Grand Piano.afp"}), BuildProgramFile(piano));

    ProgramLayout pad;
    pad.envelopes = 2;
    pad.lfos = 2;
    pad.oscillators[0] = {true, Disk("", "Pad")};
    pad.oscillators[1] = {true, Reference{kRomLocation, "", "Sine Wave"}};
    w.Bytes(w.Path({"Programs", "Bank1", "Warm Pad.afp"}), BuildProgramFile(pad));

    ProgramLayout choir;
    choir.mods = 1;
    choir.patterns = 1;
    choir.oscillators[0] = {true, Disk("Keys", "Choir")};
    choir.oscillators[3] = {true, Disk("Keys", "Piano")};
    w.Bytes(w.Path({"Programs", "Bank1", "Choir Lead.afp"}), BuildProgramFile(choir));

    ProgramLayout broken;
    broken.oscillators[0] = {true, Disk("Strings", "Violins")};
    w.Bytes(w.Path({"Programs", "Bank1", "Lost Strings.afp"}), BuildProgramFile(broken));

    w.Text(w.Path({"Programs", "Bank1", "bank.txt"}),
           "Number of items: 4\r\nGrand Piano:A\r\nWarm Pad:LF\r\nChoir Lead:GK\r\nLost Strings:F\r\n");

    // Bank2: synthesis programs, which play no files.
    ProgramLayout fm;
    fm.tag = "  fm";
    fm.mods = 4;
    fm.envelopes = 6;
    fm.lfos = 2;
    w.Bytes(w.Path({"Programs", "Bank2", "FM Bells.afp"}), BuildProgramFile(fm));
    ProgramLayout va;
    va.tag = "ogal";
    va.mods = 3;
    va.envelopes = 3;
    va.lfos = 2;
    va.patterns = 2;
    w.Bytes(w.Path({"Programs", "Bank2", "VA Bass.afp"}), BuildProgramFile(va));
    w.Text(w.Path({"Programs", "Bank2", "bank.txt"}), "Number of items: 2\r\nFM Bells:BM\r\nVA Bass:E\r\n");

    // Drums: samples on several keys, two velocity layers on the kick and the snare.
    ProgramLayout kit;
    kit.tag = "umdr";
    kit.envelopes = 1;
    kit.zones = {
        {0, 0, true, Disk("Drums", "Kick")},       {0, 1, true, Disk("Drums", "Kick Hard")},
        {2, 0, true, Disk("Drums", "Snare")},      {2, 1, true, Disk("Drums", "Snare Rim")},
        {6, 0, true, Disk("Drums", "Hat Closed")}, {7, 0, true, Disk("Drums", "Hat Closed")},
        {8, 0, false, Disk("Drums", "Nothing")},
    };
    w.Bytes(w.Path({"Programs", "Drums", "Studio Kit.afp"}), BuildProgramFile(kit));
    w.Text(w.Path({"Programs", "Drums", "bank.txt"}), "Number of items: 1\r\nStudio Kit:O\r\n");

    w.Text(w.Path({"Programs", "bank.txt"}), "Number of items: 3\r\nBank1\r\nBank2\r\nDrums\r\n");

    // A multisample program and a drum program built from synthesised WAV files by the creators.
    if (w.error.empty() && !WriteCreatedDemoContent(root, w.error) && w.error.empty()) {
        w.error = "cannot create the demo's built programs";
    }
    error = w.error;
    return error.empty();
}

}  // namespace velmorant::demo
