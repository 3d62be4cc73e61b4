#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "CatalogueFixtures.h"
#include "catalogue/CatalogueJob.h"
#include "core/File.h"
#include "platform/ScriptedPlatform.h"
#include "support/ImportFixtures.h"

namespace velmorant::catalogue {
namespace {

using platform::PlatformCall;
using testing::CallLines;
using testing::CallsOf;
using testing::CatalogueVolume;
using Lines = std::vector<std::string>;

struct Completion {
    const char* chosen;
    const char* written;
};

void PrintTo(const Completion& completion, std::ostream* os) {
    *os << '"' << completion.chosen << '"';
}

class OutputNameCompletion : public ::testing::TestWithParam<Completion> {};

TEST_P(OutputNameCompletion, AppendsHtmOnlyWhenMissing) {
    EXPECT_EQ(CompleteOutputName(GetParam().chosen), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(Names, OutputNameCompletion,
                         ::testing::Values(Completion{"/tmp/page", "/tmp/page.htm"},
                                           Completion{"/tmp/page.htm", "/tmp/page.htm"},
                                           Completion{"/tmp/PAGE.HTM", "/tmp/PAGE.HTM"},
                                           Completion{"/tmp/page.html", "/tmp/page.html.htm"},
                                           Completion{"/tmp/page.-", "/tmp/page.-.htm"},
                                           Completion{"htm", "htm.htm"}, Completion{"", ".htm"}));

struct FolderName {
    const char* folder;
    bool accepted;
};

void PrintTo(const FolderName& name, std::ostream* os) {
    *os << '"' << name.folder << '"';
}

class VolumeFolderName : public ::testing::TestWithParam<FolderName> {};

TEST_P(VolumeFolderName, OnlyTheExactNameVolume) {
    EXPECT_EQ(IsVolumeFolder(GetParam().folder), GetParam().accepted) << GetParam().folder;
}

INSTANTIATE_TEST_SUITE_P(Folders, VolumeFolderName,
                         ::testing::Values(FolderName{"/media/disk/Volume", true}, FolderName{"Volume", true},
                                           FolderName{"/media/disk/Volume/", true},
                                           FolderName{"/media/disk/volume", false},
                                           FolderName{"/media/disk/Volume2", false},
                                           FolderName{"/media/disk/VOLUME", false},
                                           FolderName{"/media/Volume/Programs", false}, FolderName{"", false}));

class CatalogueCommands : public ::testing::Test {
protected:
    void SetUp() override {
        volume_.WriteVolumeList({"Keys"});
        volume_.WriteBankList("Keys", 1, {"Grand:A"});
        volume_.WriteProgram("Keys", "Grand", "mpsa");
    }

    void ExpectNoProblems() {
        EXPECT_TRUE(platform_.Problems().empty()) << ::testing::PrintToString(platform_.Problems());
    }

    CatalogueVolume volume_;
    platform::ScriptedPlatform platform_;
};

TEST_F(CatalogueCommands, StaticPageIsWrittenUnderTheCompletedNameAndOpened) {
    const std::string chosen = volume_.Path({"static"});
    platform_.AnswerFolder(volume_.root());
    platform_.AnswerSaveFile(chosen);

    EXPECT_EQ(CreateCatalogue(platform_), kCatalogueDone);
    EXPECT_EQ(CallLines(platform_),
              (Lines{"folder Select Fusion Volume directory", "save", "open " + chosen + ".htm"}));
    EXPECT_NE(testing::ReadText(chosen + ".htm").find("A1- Grand<br>"), std::string::npos);
    EXPECT_FALSE(core::FileExists(chosen));
    const auto saves = CallsOf(platform_, PlatformCall::Kind::kChooseSaveFile);
    ASSERT_EQ(saves.size(), 1u);
    ASSERT_EQ(saves[0].filters.size(), 2u);
    EXPECT_EQ(saves[0].filters[0].description, "Html file(.htm)");
    EXPECT_EQ(saves[0].filters[0].pattern, "*.htm");
    EXPECT_EQ(saves[0].filters[1].description, "All files");
    EXPECT_EQ(saves[0].filters[1].pattern, "*.*");
    ExpectNoProblems();
}

TEST_F(CatalogueCommands, DynamicPageIsWrittenUnderACyclingProgressWindow) {
    const std::string chosen = volume_.Path({"dynamic.htm"});
    platform_.AnswerFolder(volume_.root());
    platform_.AnswerSaveFile(chosen);

    EXPECT_EQ(CreateDynamicCatalogue(platform_), kCatalogueDone);
    EXPECT_EQ(CallLines(platform_),
              (Lines{"folder Select Fusion Volume directory", "save", "start cycling", "title Export Catalogue",
                     "status Please Wait while analysing directory...", "close", "open " + chosen}));
    EXPECT_NE(testing::ReadText(chosen).find("<TD>Grand</TD><TD>Samples</TD>"), std::string::npos);
    ExpectNoProblems();
}

TEST_F(CatalogueCommands, CancellingEitherChooserWritesNothing) {
    for (const bool dynamic : {false, true}) {
        for (const bool atFolder : {true, false}) {
            platform::ScriptedPlatform platform;
            if (!atFolder) {
                platform.AnswerFolder(volume_.root());
            }
            platform.AnswerCancel();
            const int result = dynamic ? CreateDynamicCatalogue(platform) : CreateCatalogue(platform);
            EXPECT_EQ(result, kCatalogueDone);
            EXPECT_TRUE(CallsOf(platform, PlatformCall::Kind::kOpenDocument).empty());
            EXPECT_TRUE(CallsOf(platform, PlatformCall::Kind::kProgressStart).empty());
            EXPECT_TRUE(platform.Problems().empty());
        }
    }
}

TEST_F(CatalogueCommands, DynamicPageRefusesAFolderNotNamedVolume) {
    const std::string programs = volume_.Path({"Volume", "Programs"});
    platform_.AnswerFolder(programs);

    EXPECT_EQ(CreateDynamicCatalogue(platform_), kCatalogueNotVolume);
    EXPECT_EQ(CallLines(platform_), (Lines{"folder Select Fusion Volume directory",
                                           "box Information: Directory isn't a valid fusion Volume directory\n"}));
    ExpectNoProblems();

    // The static page takes any folder.
    platform::ScriptedPlatform any;
    any.AnswerFolder(programs);
    any.AnswerSaveFile(volume_.Path({"any.htm"}));
    EXPECT_EQ(CreateCatalogue(any), kCatalogueDone);
    EXPECT_TRUE(core::FileExists(volume_.Path({"any.htm"})));
}

TEST_F(CatalogueCommands, AnOutputThatCannotBeCreatedIsReportedAndNotOpened) {
    const std::string output = volume_.Path({"no such folder", "page.htm"});
    for (const auto kind : {CatalogueKind::kStatic, CatalogueKind::kDynamic}) {
        platform::ScriptedPlatform platform;
        EXPECT_EQ(PublishCatalogue(platform, kind, volume_.root(), output, true), kCatalogueNotWritten);
        const Lines lines = CallLines(platform);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), "box Error: Cannot create file ! \n(" + output + ")");
        EXPECT_TRUE(CallsOf(platform, PlatformCall::Kind::kOpenDocument).empty());
        if (kind == CatalogueKind::kDynamic) {
            // The progress window is gone before the box shows.
            EXPECT_EQ(lines[lines.size() - 2], "close");
        }
    }
}

TEST_F(CatalogueCommands, AViewerThatRefusesThePageIsReported) {
    const std::string output = volume_.Path({"page.htm"});
    platform_.SetOpenDocumentResult(false);

    EXPECT_EQ(PublishCatalogue(platform_, CatalogueKind::kStatic, volume_.root(), output, true), kCatalogueNotOpened);
    EXPECT_TRUE(core::FileExists(output));
    EXPECT_EQ(CallLines(platform_), (Lines{"open " + output, "box Information: Cannot open file ! \n(" + output + ")"}));
}

}  // namespace
}  // namespace velmorant::catalogue
