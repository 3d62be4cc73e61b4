#include <gtest/gtest.h>

#include "CatalogueFixtures.h"
#include "cli/Command.h"
#include "core/File.h"
#include "support/CliRun.h"

namespace velmorant::cli {
namespace {

const auto Cli = &testing::RunVelmorantCli;

TEST(CatalogueCommandTest, WritesExactlyTheGivenPathOrExitsSayingWhy) {
    testing::CatalogueVolume volume;
    volume.WriteVolumeList({"Keys"});
    volume.WriteBankList("Keys", 1, {"Grand:AF"});
    volume.WriteProgram("Keys", "Grand", "mpsa");

    const std::string staticPage = volume.Path({"page.html"});
    const testing::CliRun run = Cli({"catalogue", volume.root(), staticPage});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, "Static catalogue written to " + staticPage + "\n");
    EXPECT_NE(testing::ReadText(staticPage).find("<TD>A1- Grand<br>"), std::string::npos);
    EXPECT_FALSE(core::FileExists(staticPage + ".htm"));
    const std::string dynamicPage = volume.Path({"dynamic"});
    EXPECT_EQ(Cli({"catalogue", "--dynamic", volume.root() + "/", dynamicPage}).status, kExitOk);
    EXPECT_NE(testing::ReadText(dynamicPage).find("<TD>Grand</TD><TD>Samples</TD><TD>A</TD><TD>1</TD><TD>Piano</TD>"
                                                  "<TD>Strings</TD>"),
              std::string::npos);

    const std::string page = volume.Path({"other.htm"});
    const testing::CliRun notVolume = Cli({"catalogue", "--dynamic", volume.Path({"Volume", "Programs"}), page});
    EXPECT_EQ(notVolume.status, kExitFailed);
    EXPECT_EQ(notVolume.err, "Information: Directory isn't a valid fusion Volume directory\n\n");
    EXPECT_FALSE(core::FileExists(page));
    const std::string unwritable = volume.Path({"missing", "page.htm"});
    const testing::CliRun cannotCreate = Cli({"catalogue", volume.root(), unwritable});
    EXPECT_EQ(cannotCreate.status, kExitFailed);
    EXPECT_EQ(cannotCreate.err, "Error: Cannot create file ! \n(" + unwritable + ")\n");
    EXPECT_EQ(cannotCreate.out, "");
    EXPECT_EQ(Cli({"catalogue", volume.root()}).status, kExitUsage);
    EXPECT_EQ(Cli({"catalogue", volume.Path({"Nowhere", "Volume"}), volume.Path({"x.htm"})}).status, kExitUsage);
}

}  // namespace
}  // namespace velmorant::cli
