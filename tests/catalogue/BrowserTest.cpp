#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "support/ImportFixtures.h"
#include "catalogue/CataloguePages.h"
#include "core/Path.h"
#include "demo/VolumeBuilders.h"

namespace velmorant::catalogue {
namespace {

namespace fs = std::filesystem;
using testing::ImportVolume;

// The written dynamic page, opened from disk in headless Chromium by
// tests/catalogue/browser/check-page.mjs (needs scripts/setup.sh: chromium and npm packages).
// The page and its screenshot stay in catalogue-browser/ under the test's working folder.
TEST(DynamicPageInBrowser, FiltersSortsAndCountsOffline) {
    const char* source = std::getenv("VELMORANT_SOURCE_DIR");
    ASSERT_NE(source, nullptr) << "run through ctest, which sets VELMORANT_SOURCE_DIR";
    const fs::path script = fs::path(source) / "tests" / "catalogue" / "browser" / "check-page.mjs";
    ASSERT_TRUE(fs::exists(fs::path(source) / "tests" / "catalogue" / "browser" / "node_modules" / "playwright-core"))
        << "run scripts/setup.sh to install the browser test's packages";

    ImportVolume volume;
    volume.WriteBankList("", 2, {"Keys", "Kits"});
    volume.WriteBankList("Keys", 7, {"Grand Piano:A", "Warm Pad:LF", "Glass Pad:L", "Bells:B",
                                     "<img src=x onerror=velmorantInjected=1>:M", "R&B <Lead>:K", "Solo >> Sync!:K"});
    volume.WriteBankList("Kits", 2, {"Studio Kit:O", "Brush Kit:OP"});
    for (const auto& [bank, name, tag] : {std::tuple{"Keys", "Grand Piano", "mpsa"}, {"Keys", "Warm Pad", "ogal"},
                                          {"Keys", "Glass Pad", "ogal"}, {"Keys", "Bells", "  fm"},
                                          {"Kits", "Studio Kit", "umdr"}, {"Kits", "Brush Kit", "umdr"}}) {
        volume.AddProgram(bank, name, tag);
    }

    const fs::path output = fs::absolute("catalogue-browser");
    fs::create_directories(output);
    const fs::path page = output / "dynamic-catalogue.htm";
    const fs::path screenshot = output / "dynamic-catalogue.png";
    const fs::path expectations = output / "expectations.json";
    const fs::path log = output / "browser.log";
    fs::remove(screenshot);
    ASSERT_EQ(WriteDynamicCatalogue(volume.root(), page.string()), kPageWritten);
    ASSERT_TRUE(demo::WriteText(expectations.string(),
                                R"({"rows": 9, "type": "VA", "typeRows": 2, "nameText": "pad", "nameRows": 2,)"
                                R"( "literalTexts": ["<Lead", "Lead>", ">> Sync!", "R&B"],)"
                                R"( "literalName": "<img src=x onerror=velmorantInjected=1>"})"));

    const std::string command = "node \"" + script.string() + "\" \"" + page.string() + "\" \"" +
                                screenshot.string() + "\" \"" + expectations.string() + "\" > \"" + log.string() +
                                "\" 2>&1";
    const int status = std::system(command.c_str());
    const std::string report = testing::ReadText(log.string());
    std::cout << report;
    EXPECT_EQ(status, 0) << report;
    EXPECT_TRUE(fs::exists(screenshot));
    std::cout << "screenshot: " << screenshot.string() << "\n";
    RecordProperty("screenshot", screenshot.string());
}

}  // namespace
}  // namespace velmorant::catalogue
