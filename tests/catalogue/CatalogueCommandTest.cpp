#include <gtest/gtest.h>

#include <sstream>

#include "CatalogueFixtures.h"
#include "cli/Command.h"
#include "core/File.h"
#include "core/Text.h"
#include "support/CliRun.h"

namespace velmorant::cli {
namespace {

using testing::CatalogueVolume;

using testing::CliRun;
const auto Cli = &testing::RunVelmorantCli;

class CatalogueCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        volume_.WriteVolumeList({"Keys"});
        volume_.WriteBankList("Keys", 1, {"Grand:AF"});
        volume_.WriteProgram("Keys", "Grand", "mpsa");
    }
    CatalogueVolume volume_;
};

TEST_F(CatalogueCommandTest, WritesExactlyTheGivenPath) {
    const std::string staticPage = volume_.Path({"page.html"});
    const CliRun run = Cli({"catalogue", volume_.root(), staticPage});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, "Static catalogue written to " + staticPage + "\n");
    EXPECT_NE(testing::ReadText(staticPage).find("<TD>A1- Grand<br>"), std::string::npos);
    EXPECT_FALSE(core::FileExists(staticPage + ".htm"));

    const std::string dynamicPage = volume_.Path({"dynamic"});
    const CliRun dynamic = Cli({"catalogue", "--dynamic", volume_.root() + "/", dynamicPage});
    EXPECT_EQ(dynamic.status, kExitOk) << dynamic.err;
    EXPECT_NE(testing::ReadText(dynamicPage).find("<TD>Grand</TD><TD>Samples</TD><TD>A</TD><TD>1</TD><TD>Piano</TD>"
                                                  "<TD>Strings</TD>"),
              std::string::npos);
}

TEST_F(CatalogueCommandTest, FailuresExitWithOneAndSayWhy) {
    const std::string page = volume_.Path({"page.htm"});
    const CliRun notVolume = Cli({"catalogue", "--dynamic", volume_.Path({"Volume", "Programs"}), page});
    EXPECT_EQ(notVolume.status, kExitFailed);
    EXPECT_EQ(notVolume.err, "Information: Directory isn't a valid fusion Volume directory\n\n");
    EXPECT_FALSE(core::FileExists(page));

    const std::string unwritable = volume_.Path({"missing", "page.htm"});
    const CliRun cannotCreate = Cli({"catalogue", volume_.root(), unwritable});
    EXPECT_EQ(cannotCreate.status, kExitFailed);
    EXPECT_EQ(cannotCreate.err, "Error: Cannot create file ! \n(" + unwritable + ")\n");
    EXPECT_EQ(cannotCreate.out, "");
    EXPECT_EQ(Cli({"catalogue", volume_.root()}).status, kExitUsage);
    EXPECT_EQ(Cli({"catalogue", volume_.Path({"Nowhere", "Volume"}), volume_.Path({"x.htm"})}).status, kExitUsage);
}

}  // namespace
}  // namespace velmorant::cli
