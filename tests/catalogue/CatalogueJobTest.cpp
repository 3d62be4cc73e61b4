#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/CatalogueJob.h"
#include "core/File.h"
#include "platform/ScriptedPlatform.h"
#include "support/CreateFixtures.h"
#include "support/ImportFixtures.h"
#include "cli/Command.h"
#include "support/CliRun.h"

namespace velmorant::catalogue {
namespace {

using platform::PlatformCall;
using testing::CallLines;
using testing::CallsOf;
using testing::ImportVolume;
using Lines = std::vector<std::string>;

TEST(CatalogueNames, OutputGetsHtmWhenMissingAndOnlyAFolderNamedVolumeIsOne) {
    const std::vector<std::pair<std::string, std::string>> names = {
        {"/tmp/page", "/tmp/page.htm"}, {"/tmp/PAGE.HTM", "/tmp/PAGE.HTM"}, {"/tmp/page.html", "/tmp/page.html.htm"},
        {"/tmp/page.-", "/tmp/page.-.htm"}, {"htm", "htm.htm"}, {"", ".htm"}};
    for (const auto& [chosen, written] : names) {
        EXPECT_EQ(CompleteOutputName(chosen), written) << chosen;
    }
    for (const char* folder : {"/media/disk/Volume", "Volume", "/media/disk/Volume/"}) {
        EXPECT_TRUE(IsVolumeFolder(folder)) << folder;
    }
    for (const char* folder : {"/media/disk/volume", "/media/disk/Volume2", "/media/Volume/Programs", ""}) {
        EXPECT_FALSE(IsVolumeFolder(folder)) << folder;
    }
}

class CatalogueCommands : public ::testing::Test {
protected:
    void SetUp() override {
        volume_.WriteBankList("", 1, {"Keys"});
        volume_.WriteBankList("Keys", 1, {"Grand:A"});
        volume_.AddProgram("Keys", "Grand", "mpsa");
    }

    ImportVolume volume_;
    platform::ScriptedPlatform platform_;
};

TEST_F(CatalogueCommands, PagesAreWrittenUnderTheCompletedNameAndOpened) {
    const std::string chosen = volume_.Path({"static"});
    platform_.AnswerFolder(volume_.root());
    platform_.AnswerSaveFile(chosen);
    EXPECT_EQ(CreateCatalogue(platform_), kCatalogueDone);
    EXPECT_EQ(CallLines(platform_), (Lines{"folder Select Fusion Volume directory", "save", "open " + chosen + ".htm"}));
    EXPECT_NE(testing::ReadText(chosen + ".htm").find("A1- Grand<br>"), std::string::npos);
    EXPECT_FALSE(core::FileExists(chosen));

    platform::ScriptedPlatform dynamic;
    dynamic.AnswerFolder(volume_.root());
    dynamic.AnswerSaveFile(volume_.Path({"dynamic.htm"}));
    EXPECT_EQ(CreateDynamicCatalogue(dynamic), kCatalogueDone);
    EXPECT_EQ(CallLines(dynamic),
              (Lines{"folder Select Fusion Volume directory", "save", "start cycling", "title Export Catalogue",
                     "status Please Wait while analysing directory...", "close", "open " + volume_.Path({"dynamic.htm"})}));
    EXPECT_TRUE(platform_.Problems().empty() && dynamic.Problems().empty());
}

TEST_F(CatalogueCommands, CancellingEitherChooserOrNamingNoVolumeWritesNothing) {
    for (const bool dynamic : {false, true}) {
        for (const bool atFolder : {true, false}) {
            platform::ScriptedPlatform platform;
            if (!atFolder) platform.AnswerFolder(volume_.root());
            platform.AnswerCancel();
            EXPECT_EQ(dynamic ? CreateDynamicCatalogue(platform) : CreateCatalogue(platform), kCatalogueDone);
            EXPECT_EQ(CallLines(platform).size(), atFolder ? 1u : 2u);
            EXPECT_TRUE(platform.Problems().empty());
        }
    }
    // Only the dynamic page needs the folder to be named Volume.
    const std::string programs = volume_.Path({"Volume", "Programs"});
    platform_.AnswerFolder(programs);
    EXPECT_EQ(CreateDynamicCatalogue(platform_), kCatalogueNotVolume);
    EXPECT_EQ(CallLines(platform_), (Lines{"folder Select Fusion Volume directory",
                                           "box Information: Directory isn't a valid fusion Volume directory\n"}));
    platform::ScriptedPlatform any;
    any.AnswerFolder(programs);
    any.AnswerSaveFile(volume_.Path({"any.htm"}));
    EXPECT_EQ(CreateCatalogue(any), kCatalogueDone);
    EXPECT_TRUE(core::FileExists(volume_.Path({"any.htm"})));
}

// An output that cannot be created is not opened; one a viewer refuses stays written. Both say so.
TEST_F(CatalogueCommands, AnOutputThatCannotBeCreatedOrOpenedIsReported) {
    const std::string output = volume_.Path({"no such folder", "page.htm"});
    for (const auto kind : {CatalogueKind::kStatic, CatalogueKind::kDynamic}) {
        platform::ScriptedPlatform platform;
        EXPECT_EQ(PublishCatalogue(platform, kind, volume_.root(), output, true), kCatalogueNotWritten);
        const Lines lines = CallLines(platform);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), "box Error: Cannot create file ! \n(" + output + ")");
        EXPECT_TRUE(CallsOf(platform, PlatformCall::Kind::kOpenDocument).empty());
        // The progress window is gone before the box shows.
        EXPECT_TRUE(kind == CatalogueKind::kStatic || lines[lines.size() - 2] == "close");
    }
    const std::string page = volume_.Path({"page.htm"});
    platform_.SetOpenDocumentResult(false);
    EXPECT_EQ(PublishCatalogue(platform_, CatalogueKind::kStatic, volume_.root(), page, true), kCatalogueNotOpened);
    EXPECT_TRUE(core::FileExists(page));
    EXPECT_EQ(CallLines(platform_), (Lines{"open " + page, "box Information: Cannot open file ! \n(" + page + ")"}));
}

// Cancel is asked between programs: before the first, or after some were read. Nothing is
// written, an earlier page under the name stays as it was, and nothing is opened.
TEST_F(CatalogueCommands, CancelledDynamicPageWritesNothing) {
    volume_.AddProgram("Keys", "Upright", "mpsa");
    volume_.WriteBankList("Keys", 2, {"Grand:A", "Upright"});
    const std::string output = volume_.Path({"page.htm"});
    for (const int ask : {1, 2}) {
        platform::ScriptedPlatform platform;
        platform.CancelProgressAt(ask);
        EXPECT_EQ(PublishCatalogue(platform, CatalogueKind::kDynamic, volume_.root(), output, true), kCatalogueCancelled);
        EXPECT_FALSE(core::FileExists(output));
        EXPECT_EQ(CallLines(platform).back(), "close");
        EXPECT_TRUE(platform.Boxes().empty() && CallsOf(platform, PlatformCall::Kind::kOpenDocument).empty());
    }
    testing::WriteTextFile(output, "earlier page");
    platform_.CancelProgressAt(2);
    EXPECT_EQ(PublishCatalogue(platform_, CatalogueKind::kDynamic, volume_.root(), output, false), kCatalogueCancelled);
    EXPECT_EQ(testing::ReadText(output), "earlier page");
}

TEST_F(CatalogueCommands, CliWritesExactlyTheGivenPathOrExitsSayingWhy) {
    const auto Cli = &testing::RunVelmorantCli;
    const std::string staticPage = volume_.Path({"page.html"});
    const testing::CliRun run = Cli({"catalogue", volume_.root(), staticPage});
    EXPECT_EQ(run.status, cli::kExitOk) << run.err;
    EXPECT_EQ(run.out, "Static catalogue written to " + staticPage + "\n");
    EXPECT_NE(testing::ReadText(staticPage).find("<TD>A1- Grand<br>"), std::string::npos);
    EXPECT_FALSE(core::FileExists(staticPage + ".htm"));
    const std::string dynamicPage = volume_.Path({"dynamic"});
    EXPECT_EQ(Cli({"catalogue", "--dynamic", volume_.root() + "/", dynamicPage}).status, cli::kExitOk);
    EXPECT_NE(testing::ReadText(dynamicPage).find("<TD>Grand</TD><TD>Samples</TD>"), std::string::npos);

    const std::string page = volume_.Path({"other.htm"});
    const testing::CliRun notVolume = Cli({"catalogue", "--dynamic", volume_.Path({"Volume", "Programs"}), page});
    EXPECT_EQ(notVolume.status, cli::kExitFailed);
    EXPECT_EQ(notVolume.err, "Information: Directory isn't a valid fusion Volume directory\n\n");
    EXPECT_FALSE(core::FileExists(page));
    const testing::CliRun cannotCreate = Cli({"catalogue", volume_.root(), volume_.Path({"missing", "page.htm"})});
    EXPECT_EQ(std::tie(cannotCreate.status, cannotCreate.out), std::make_tuple(cli::kExitFailed, ""));
    EXPECT_EQ(Cli({"catalogue", volume_.root()}).status, cli::kExitUsage);
    EXPECT_EQ(Cli({"catalogue", volume_.Path({"Nowhere", "Volume"}), page}).status, cli::kExitUsage);
}

}  // namespace
}  // namespace velmorant::catalogue
