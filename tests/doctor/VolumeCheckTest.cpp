#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <nlohmann/json.hpp>

#include "core/Path.h"
#include "demo/VolumeBuilders.h"
#include "doctor/CatalogueData.h"
#include "doctor/Manifest.h"
#include "doctor/ReportWriters.h"
#include "doctor/SampleScan.h"
#include "doctor/VolumeCheck.h"
#include "support/CliRun.h"
#include "support/TempDir.h"

namespace velmorant::doctor {
namespace {

namespace fs = std::filesystem;
using demo::Reference;

// A volume under a temporary folder, written file by file.
struct Volume {
    testing::TempDir dir;
    std::string path(const std::string& relative) const { return core::JoinPath(dir.path(), relative); }
    void text(const std::string& relative, const std::string& content) { demo::WriteText(path(relative), content); }
    void bytes(const std::string& relative, const std::vector<std::uint8_t>& content) {
        demo::WriteFile(path(relative), content);
    }
    void sampleProgram(const std::string& relative, const std::string& folder, const std::string& name) {
        demo::ProgramLayout layout;
        layout.oscillators[0] = {true, {demo::kDiskLocation, folder, name}};
        bytes(relative, demo::BuildProgramFile(layout));
    }
    void synthProgram(const std::string& relative) {
        demo::ProgramLayout layout;
        layout.tag = "  fm";
        bytes(relative, demo::BuildProgramFile(layout));
    }
    void multisample(const std::string& relative, const std::vector<Reference>& samples) {
        bytes(relative, demo::BuildMultisampleFile(samples));
    }
    void sample(const std::string& relative, double frequency) {
        bytes(relative, demo::BuildSampleFile(frequency, 400));
    }
};

// "kind subject" of each finding, the subject being the program or the first path below the volume.
std::vector<std::string> Lines(const Report& report, const std::string& root) {
    std::vector<std::string> lines;
    for (const Finding& finding : report.findings) {
        std::string subject = finding.program.empty() ? finding.paths.at(0) : finding.bank + "/" + finding.program;
        if (subject.rfind(root, 0) == 0) subject = subject.substr(root.size() + 1);
        std::replace(subject.begin(), subject.end(), core::kNativeSeparator, '/');
        lines.push_back(std::string(SeverityName(finding.severity)) + " " + FindingKindName(finding.kind) + " " + subject);
    }
    return lines;
}

TEST(VolumeCheck, ReportsEachProblemOfAVolumeOnce) {
    Volume v;
    v.text("Programs/bank.txt", "Number of items: 3\r\nKeys\r\nGrand Piano Collection\r\nBroken\r\n");
    v.text("Programs/Keys/bank.txt", "Number of items: 2\r\nPiano:A\r\nStrings\r\n");
    v.sampleProgram("Programs/Keys/Piano.afp", "Keys", "Piano");
    v.multisample("Multisamples/Keys/Piano.afi", {{"", "Keys", "Piano C4"}, {"", "Keys", "Piano C5"}});
    v.sample("Samples/Keys/Piano C4.afs", 440);
    // Copied from a disk that ignores letter case.
    v.sampleProgram("Programs/Keys/Strings.afp", "Keys", "Strings");
    v.multisample("Multisamples/Keys/STRINGS.afi", {{"", "Keys", "Piano Copy"}, {"", "Keys", "Piano C5"}});
    v.sample("Samples/Keys/Piano Copy.afs", 440);
    v.sample("Samples/Keys/Unused.afs", 660);
    // A folder-less reference finds a folder named after the bank, longer than the instrument's 16.
    v.text("Programs/Grand Piano Collection/bank.txt", "Number of items: 1\r\nGrand\r\n");
    v.sampleProgram("Programs/Grand Piano Collection/Grand.afp", "", "Grand");
    v.multisample("Multisamples/Grand Piano Collection/Grand.afi", {{"", "Keys", "Grand C4"}});
    v.sample("Samples/Keys/Grand C4.afs", 220);
    v.text("Programs/Broken/bank.txt", "Number of items: 1\r\nSynth\r\nPad\r\n");
    v.synthProgram("Programs/Broken/Synth.afp");
    v.synthProgram("Programs/Broken/Pad.afp");

    const Report report = CheckVolume({v.dir.path(), {}, 2, {}});
    EXPECT_EQ(Lines(report, v.dir.path()),
              (std::vector<std::string>{
                  "warning name-not-shown Multisamples/Grand Piano Collection",
                  "failure bank-list Programs/Broken/bank.txt",
                  "failure missing-file Samples/Keys/Piano C5.afs",
                  "warning case-only-reference Multisamples/Keys/STRINGS.afi",
                  "warning orphan Samples/Keys/Unused.afs",
                  "warning same-audio Samples/Keys/Piano C4.afs",
              }));
    EXPECT_TRUE(report.WouldFailToLoad());
    EXPECT_EQ(report.totals.programs, 5);
    EXPECT_EQ(report.totals.orphanBytes, static_cast<std::int64_t>(fs::file_size(v.path("Samples/Keys/Unused.afs"))));
    EXPECT_EQ(report.banks.at(0).programs.at(0).files.at(0).samples.at(1).state, FileState::kMissing);
    EXPECT_EQ(report.findings.at(2).usedBy, (std::vector<std::string>{"Keys/Piano", "Keys/Strings"}));

    const testing::CliRun run = testing::RunVelmorantCli({"check", "--json", v.dir.path()});
    EXPECT_EQ(run.status, 1);
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["summary"]["failures"], 2);
    EXPECT_EQ(json["findings"].size(), 6u);
    EXPECT_EQ(testing::RunVelmorantCli({"check", "--bank", "Keys", v.dir.path()}).status, 1);
    EXPECT_EQ(testing::RunVelmorantCli({"check", "--bank", "Grand Piano Collection", v.dir.path()}).status, 0);
    EXPECT_EQ(testing::RunVelmorantCli({"check", v.path("nowhere")}).status, 2);

    // Each phase is told up to its total; a check told to stop stops at the next step and says so.
    CheckOptions watched{v.dir.path(), {}, 2, {}};
    std::set<std::pair<std::string, std::size_t>> finished;
    int calls = 0;
    bool stop = false;
    watched.progress = [&](std::string_view step, std::size_t done, std::size_t total) {
        ++calls;
        if (done == total) finished.insert({std::string(step), total});
        return !stop;
    };
    EXPECT_FALSE(CheckVolume(watched).stopped);
    EXPECT_EQ(finished, (std::set<std::pair<std::string, std::size_t>>{{"Reading samples", 4}, {"Checking banks", 3}}));
    calls = 0;
    stop = true;
    const Report stopped = CheckVolume(watched);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(stopped.banks.empty());
}

// A file named with the raw bytes of "été", as another tool may have written it; Windows
// names files in Unicode, so there it is stored, and listed, as the UTF-8 name.
#ifdef _WIN32
const std::string kRawNameOnDisk = "\xC3\xA9t\xC3\xA9";
#else
const std::string kRawNameOnDisk = "\xE9t\xE9";
#endif

// Bad input: each volume finishes with its findings, and every writer's output stays well formed.
struct BadVolume {
    const char* name;
    std::function<void(Volume&)> build;
    std::vector<std::string> expected;  // lines that must be among the findings
};

class BadInput : public ::testing::TestWithParam<BadVolume> {};

TEST_P(BadInput, FinishesWithItsFindings) {
    if (std::string(GetParam().name) == "SymlinkLoops" && !testing::CanMakeSymbolicLinks()) {
        GTEST_SKIP() << "no symbolic links here";
    }
    Volume v;
    GetParam().build(v);
    const Report report = CheckVolume({v.dir.path(), {}, 2, {}});
    const std::vector<std::string> lines = Lines(report, v.dir.path());
    for (const std::string& line : GetParam().expected) {
        EXPECT_EQ(std::count(lines.begin(), lines.end(), line), 1) << line;
    }
    EXPECT_TRUE(nlohmann::json::accept(ReportJson(report)));
    EXPECT_EQ(ReportCsv(report).find("severity,kind,"), 0u);
    EXPECT_NE(ReportHtml(report).find("</html>"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Volumes, BadInput,
    ::testing::Values(
        BadVolume{"ListNamesItselfAndParent",
                  [](Volume& v) { v.text("Programs/bank.txt", "Number of items: 3\r\nbank.txt\r\n..\r\nGone\r\n"); },
                  {"failure bank-folder Programs/bank.txt", "failure bank-folder Programs/..",
                   "failure bank-folder Programs/Gone"}},
        BadVolume{"SymlinkLoops",
                  [](Volume& v) {
                      v.text("Programs/bank.txt", "Number of items: 1\r\nLoop\r\n");
                      fs::create_directory_symlink(v.path("Programs"), v.path("Programs/Loop"));
                      fs::create_directories(v.path("Samples"));
                      fs::create_directory_symlink(v.path("Samples"), v.path("Samples/Again"));
                      fs::create_symlink(v.path("Samples/Again/x.afs"), v.path("Samples/Again/y.afs"));
                  },
                  {"failure refused-program Loop/Loop"}},
        BadVolume{"ThousandsOfBanks",
                  [](Volume& v) {
                      std::string list = "Number of items: 2000\r\n";
                      for (int i = 0; i < 2000; ++i) {
                          list += "B" + std::to_string(i) + "\r\n";
                          fs::create_directories(v.path("Programs/B" + std::to_string(i)));
                      }
                      v.text("Programs/bank.txt", list);
                      v.text("Programs/B7/bank.txt", "Number of items: 1\r\nX\r\n");
                  },
                  {"failure bank-list Programs/B0/bank.txt", "failure bank-list Programs/B1999/bank.txt",
                   "failure refused-program B7/X"}},
        BadVolume{"MalformedFiles",
                  [](Volume& v) {
                      v.text("Programs/bank.txt", "Number of items: 1\r\nK\r\n");
                      v.text("Programs/K/bank.txt", "Number of items: 3\r\nP\r\nNot\r\nFm:Q\r\n");
                      v.sampleProgram("Programs/K/P.afp", "K", "M");
                      v.text("Programs/K/Not.afp", "S80");
                      v.synthProgram("Programs/K/Fm.afp");
                      std::vector<std::uint8_t> multisample = demo::BuildMultisampleFile({{"", "K", "S"}});
                      multisample[17] = 200;  // more entries than the file holds
                      v.bytes("Multisamples/K/M.afi", multisample);
                      v.text("Samples/K/S.afs", "RIFF, not a sample");
                      v.sample("Samples/K/Twin.afs", 440);
                      v.sample("Samples/J/TWIN.afs", 880);
                      v.sample("Samples/K/\xE9t\xE9.afs", 330);  // a name written as raw bytes
                  },
                  {"failure refused-program K/Not", "failure malformed-file Multisamples/K/M.afi",
                   "failure malformed-file Samples/K/S.afs", "warning different-audio-same-name Samples/J/TWIN.afs",
                   "warning orphan Samples/K/" + kRawNameOnDisk + ".afs"}},
        BadVolume{"NotAVolume", [](Volume&) {}, {"failure bank-folder Programs"}}),
    [](const ::testing::TestParamInfo<BadVolume>& row) { return row.param.name; });

TEST(ManifestCheck, FindsChangedMissingAndExtraFiles) {
    Volume v;
    Manifest manifest;
    manifest.bank = "Out";
    for (const char* file : {"Programs/Out/A.afp", "Programs/Out/B.afp", "Samples/Out/S.afs", "Samples/Out/T.afs"}) {
        v.text(file, file);
        const auto sums = FileContentSums(v.path(file));
        manifest.files.push_back({file, "sample", sums->size, sums->crc, "/src/x", "x", "x", {{28, "K/S", "Out/S"}}});
    }
    const std::string manifestPath = v.path("Out.export.json");
    v.text("Out.export.json", ManifestJson(manifest));
    EXPECT_TRUE(VerifyManifest(v.dir.path(), manifestPath).findings.empty());
    EXPECT_EQ(testing::RunVelmorantCli({"check", v.dir.path(), "--manifest", manifestPath}).status, 0);

    v.text("Programs/Out/A.afp", "Programs/Out/A.afq");  // same size, other content
    v.text("Samples/Out/T.afs", "Samples/Out/T.afs and more");
    fs::remove(v.path("Programs/Out/B.afp"));
    v.text("Samples/Out/Stray.afs", "stray");
    EXPECT_EQ(Lines(VerifyManifest(v.dir.path(), manifestPath), v.dir.path()),
              (std::vector<std::string>{"failure manifest-changed Programs/Out/A.afp",
                                        "failure manifest-missing Programs/Out/B.afp",
                                        "failure manifest-changed Samples/Out/T.afs",
                                        "warning manifest-extra Samples/Out/Stray.afs"}));

    for (const std::string& bad : {std::string("{"), std::string("{\"format\":\"velmorant-export-manifest\",\"version\":1,"
                                                                  "\"files\":[{\"path\":\"../../etc/passwd\",\"size\":1,"
                                                                  "\"crc32\":\"00000000\"}]}")}) {
        v.text("Bad.json", bad);
        const Report report = VerifyManifest(v.dir.path(), v.path("Bad.json"));
        ASSERT_EQ(report.findings.size(), 1u);
        EXPECT_EQ(report.findings[0].kind, FindingKind::kManifestUnreadable);
        EXPECT_TRUE(report.WouldFailToLoad());
    }
}

// The catalogue's rows for scripts count the files each program misses, its own included.
TEST(CatalogueData, RowsCountMissingFilesAndQuoteTheirFields) {
    Volume v;
    v.text("Programs/bank.txt", "Number of items: 1\r\nKeys\r\n");
    v.text("Programs/Keys/bank.txt", "Number of items: 3\r\nPiano:AKB\r\nBells, Soft\r\nGone\r\n");
    v.sampleProgram("Programs/Keys/Piano.afp", "Keys", "Piano");
    v.multisample("Multisamples/Keys/Piano.afi", {{"", "Keys", "Piano C4"}, {"", "Keys", "Piano C5"}});
    v.sample("Samples/Keys/Piano C4.afs", 440);
    v.synthProgram("Programs/Keys/Bells, Soft.afp");

    EXPECT_EQ(CatalogueData(v.dir.path(), DataFormat::kCsv),
              "bank,slot,name,type,main category,other categories,missing files\r\n"
              "Keys,A1,Piano,Samples,Piano,\"Lead, Chromatic\",1\r\n"
              "Keys,A2,\"Bells, Soft\",FM,,,0\r\n"
              "Keys,A3,Gone,Unknow,,,1\r\n");
    const auto rows = nlohmann::json::parse(CatalogueData(v.dir.path(), DataFormat::kJson))["rows"];
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]["otherCategories"], (nlohmann::json{"Lead", "Chromatic"}));
    EXPECT_EQ(rows[0]["missingFiles"], 1);
    EXPECT_EQ(rows[1]["slot"], "A2");
}

}  // namespace
}  // namespace velmorant::doctor
