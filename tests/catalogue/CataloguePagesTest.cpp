#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <locale>
#include <string>

#include "support/ImportFixtures.h"
#include "catalogue/CataloguePages.h"
#include "catalogue/TableFilterScript.h"
#include "core/Text.h"
#include "demo/VolumeBuilders.h"

namespace velmorant::catalogue {
namespace {

using testing::ImportVolume;
namespace fs = std::filesystem;

// A fixed moment, so whole pages compare exactly.
constexpr PageTime kMarch5th{3, 5, 2024, 9, 7};
constexpr const char* kMarch5thLine = "<H2>Velmorant - 2024-03-05 09:07</H2>";

// The text between two markers of a page ("<missing>" when either is absent).
std::string Between(const std::string& page, const std::string& from, const std::string& to) {
    const std::size_t start = page.find(from);
    const std::size_t end = start == std::string::npos ? start : page.find(to, start + from.size());
    return end == std::string::npos ? "<missing>" : page.substr(start + from.size(), end - start - from.size());
}

std::string Rows(const std::string& page) { return Between(page, "<TH>Alter Categories</TH></TR></thead><tbody>\n", "</tbody>"); }

std::string Row(const char* bank, const char* name, const char* type, const char* letter, int n,
                const char* main = "", const char* alter = "") {
    return std::string("<TR><TD>") + bank + "</TD><TD>" + name + "</TD><TD>" + type + "</TD><TD>" + letter +
           "</TD><TD>" + std::to_string(n) + "</TD><TD>" + main + "</TD><TD>" + alter + "</TD></TR>\n";
}

TEST(Pages, DeclareTheirTextAndEndWithTheDate) {
    ImportVolume volume;
    for (const std::string& page : {BuildStaticPage(volume.root(), kMarch5th), BuildDynamicPage(volume.root(), kMarch5th)}) {
        EXPECT_TRUE(page.starts_with("<!DOCTYPE html>\n<html><Head><meta charset=\"utf-8\"><title>Velmorant - ")) << page;
        EXPECT_NE(page.find(kMarch5thLine), std::string::npos);
        EXPECT_TRUE(page.ends_with("</body></html>"));
    }
    EXPECT_TRUE(BuildStaticPage(volume.root(), kMarch5th).ends_with(std::string("</head><body>") + kMarch5thLine + "</body></html>"));
    EXPECT_EQ(Rows(BuildDynamicPage(volume.root(), kMarch5th)), "");
    // A locale that names no C locale writes its own date (a made-up one is named "*").
    EXPECT_EQ(FooterDate(kMarch5th, std::locale(std::locale::classic(), new std::numpunct<char>)), "03/05/24 09:07");
    // The page's time is the local clock's (a minute may turn in between, once in millions of runs).
    const std::time_t clock = std::time(nullptr);
    const PageTime now = LocalPageTime();
    const std::tm local = *std::localtime(&clock);
    EXPECT_EQ(std::tie(now.year, now.month, now.day, now.hour, now.minute),
              std::make_tuple(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min));
}

TEST(StaticPage, NamesFillNumberedLinesAndEntriesPastTheSlotsFollowTheTable) {
    ImportVolume volume;
    volume.WriteBankList("", 5, {"Gaps", "Big", "Lost", "Kept", ".."});
    // Blank lines are entries too, and the count line says how many entries are visited.
    volume.WriteBankList("Gaps", 4, {"One", "   ", "", "Four", "Five", "Six"});
    volume.WriteNumberedBank("Big", 130);
    volume.WriteBankList("Kept", -1, {"Solo"});  // a signed count visits no entry
    const std::string page = BuildStaticPage(volume.root(), kMarch5th);
    EXPECT_NE(page.find("<H1>Gaps</H1><br>\n<Table>\n<TR><TD>A1- One<br>A2-<br>A3-<br>A4- Four<br>A5-<br>A6-<br>A7-<br>"
                        "A8-<br></TD>\n<TD>B1-<br>"), std::string::npos) << page;
    EXPECT_NE(page.find("<TD>P1- P120<br>P2- P121<br>P3- P122<br>P4- P123<br>P5- P124<br>P6- P125<br>"
                        "P7- P126<br>P8- P127<br></TD>\n</TR>\n</Table><br>128- P128<br>129- P129<br>\n"),
              std::string::npos);
    // ".." would be the volume's own folder: it is no bank folder either.
    EXPECT_NE(page.find("<H1>Lost</H1><br>\nNo bank.txt file\n<H1>Kept</H1><br>\n<Table>\n<TR><TD>A1-<br>"),
              std::string::npos);
    EXPECT_TRUE(page.ends_with(std::string("<H1>..</H1><br>\nNo bank.txt file\n") + kMarch5thLine + "</body></html>"));
}

TEST(DynamicPage, RowsCarryTypeSlotAndCategories) {
    ImportVolume volume;
    volume.WriteBankList("", 6, {"Mix", "Kits", "NoList", "Short", "../Programs", "Negative"});
    // Nine entries are visited, as the count line says; the tenth name is not.
    volume.WriteBankList("Mix", 9,
                         {"Piano One:AFK", "Empty Cat", "", "Bells:BXm", "Pad:ZL", "Missing", "Stranger", "Odd", "Ninth:E",
                          "Tenth:A"});
    volume.WriteBankList("Kits", 1, {"Studio:O"});
    volume.WriteBankList("Short", 5, {"A", "B"});  // fewer names than announced
    volume.WriteBankList("Negative", -5, {"A", "B"});
    for (const auto& [name, tag] : {std::pair{"Piano One", "mpsa"}, {"Empty Cat", "ogal"}, {"Bells", "  fm"},
                                    {"Pad", "utfl"}, {"Odd", "FM  "}, {"Ninth", "arcl"}}) {
        volume.AddProgram("Mix", name, tag);
    }
    volume.AddProgram("Kits", "Studio", "umdr");
    ASSERT_TRUE(demo::WriteText(volume.Path({"Volume", "Programs", "Mix", "Stranger.afp"}), "S80p short"));

    // A program that cannot be probed is "Unknow", never the type of the one before.
    EXPECT_EQ(Rows(BuildDynamicPage(volume.root(), kMarch5th)),
              Row("Mix", "Piano One", "Samples", "A", 1, "Piano", "Strings, Lead") + Row("Mix", "Empty Cat", "VA", "A", 2) +
                  Row("Mix", "Bells", "FM", "A", 4, "Chromatic") + Row("Mix", "Pad", "Wind", "A", 5, "", "Pad") +
                  Row("Mix", "Missing", "Unknow", "A", 6) + Row("Mix", "Stranger", "Unknow", "A", 7) +
                  Row("Mix", "Odd", "Unknow", "A", 8) + Row("Mix", "Ninth", "Reed", "B", 1, "Bass") +
                  Row("Kits", "Studio", "Drums", "A", 1, "Drum/Perc"));

    ImportVolume big;
    big.WriteBankList("", 1, {"Big"});
    big.WriteNumberedBank("Big", 130);
    big.AddProgram("Big", "P129", "ogal");
    EXPECT_TRUE(core::EndsWith(Rows(BuildDynamicPage(big.root(), kMarch5th)),
                               Row("Big", "P127", "Unknow", "P", 8) + Row("Big", "P128", "Unknow", "", 0) +
                                   Row("Big", "P129", "VA", "", 0)));
}

TEST(Pages, EscapeMarkupInNamesAndCategories) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows folder names cannot hold < or >";
#endif
    ImportVolume volume;
    volume.WriteBankList("", 1, {"A&B <1>"});
    volume.WriteBankList("A&B <1>", 2, {"<script>alert('x')</script>:A", "Say \"hi\""});
    const std::string page = BuildStaticPage(volume.root(), kMarch5th);
    EXPECT_NE(page.find("<H1>A&amp;B &lt;1&gt;</H1><br>\n"), std::string::npos) << page;
    EXPECT_NE(page.find("A1- &lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;<br>A2- Say &quot;hi&quot;<br>"),
              std::string::npos);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_EQ(Rows(BuildDynamicPage(volume.root(), kMarch5th)),
              Row("A&amp;B &lt;1&gt;", "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;", "Unknow", "A", 1, "Piano") +
                  Row("A&amp;B &lt;1&gt;", "Say &quot;hi&quot;", "Unknow", "A", 2));
}

TEST(DynamicPage, ScriptIsInlineAndCannotEndItsElementEarly) {
    const std::string_view script = TableFilterScript();
    ASSERT_GT(script.size(), 100000u);
    // The library's licence notice travels with every copy.
    EXPECT_TRUE(core::StartsWith(script, "/*! TableFilter ")) << script.substr(0, 80);
    EXPECT_NE(script.find("Copyright (c) 2015 Max Guglielmi"), std::string_view::npos);
    std::string lower(script);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    EXPECT_EQ(lower.find("</script"), std::string::npos);
    EXPECT_EQ(lower.find("<!--"), std::string::npos);
    // The library's stylesheet and images travel inside; nothing names a file beside the page.
    EXPECT_NE(script.find("data:image/png;base64,"), std::string_view::npos);
    EXPECT_EQ(script.find("url(\"themes/"), std::string_view::npos);
    EXPECT_NE(BuildDynamicPage(ImportVolume().root(), kMarch5th).find(script), std::string::npos);
}

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
