#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "CatalogueFixtures.h"
#include "catalogue/CataloguePages.h"
#include "catalogue/TableFilterScript.h"
#include "core/Text.h"
#include "demo/VolumeBuilders.h"

namespace velmorant::catalogue {
namespace {

using testing::CatalogueVolume;
using testing::kMarch5th;
using testing::kMarch5thLine;

const std::string kStyle =
    "<!DOCTYPE html>\n<html><Head><meta charset=\"utf-8\"><title>Velmorant - Dynamic Catalogue</title>\n<style type='text/css'>\n"
    "table {width:1000px; border-width: 2px;border-spacing: 4px;border-style: solid;border-color: gray;"
    "border-collapse: collapse;background-color: rgb(84,84, 84);color: rgb(255,106, 0);}\n"
    "table td {width:250px; border-width: 1px;padding: 2px;border-style: inset;border-color: gray;"
    "background-color: white;-moz-border-radius: ;color: rgb(0,0, 0);}\n"
    "h1{text-align : left;text-decoration : none;font-family : Verdana, Geneva, Arial, Helvetica, sans-serif;"
    "font-size : 20px;font-weight : bold;} \n"
    "h2{text-align : right;text-decoration : none;font-family : Verdana, Geneva, Arial, Helvetica, sans-serif;"
    "font-size : 14px;} \n"
    ".helpBtn{ margin:0 0px 0 0px;font-size : 0px; padding: 0px 0px 0px 0px; border-left:0px solid #fff; "
    "border-right:0px solid #fff; } \n"
    "div.helpCont{position:absolute;font-size : 0px; display:none;max-width:250px; overflow:auto;\t"
    "padding:5px 5px 5px 5px; margin:15px 0;\tborder:1px solid #fff; background:#ffffff; text-align:left;"
    "-moz-border-radius:5px;border-radius:5px;\t-moz-box-shadow:5px 5px 2px #888;"
    "-webkit-box-shadow:5px 5px 2px #888;box-shadow:5px 5px 2px #888; } \n"
    "div.helpCont a{ color:#ffffff; text-decoration:none; font-weight:normal;font-size : 0px; } \n"
    "div.helpCont a:hover{ text-decoration:none;font-size : 0px; } \n"
    "div.helpFooter{ margin:10px 0 0 0;font-size : 0px; } \n"
    "</style>\n";
const std::string kTableStart =
    "\n</script>\n\n\n</head><body><Table id='idMyTable'>\n"
    "<thead><TR><TH>Bank</TH><TH>Name</TH><TH>Type</TH><TH>Letter</TH><TH>Nb</TH><TH>Main Categories</TH>"
    "<TH>Alter Categories</TH></TR></thead><tbody>\n";
const std::string kConfiguration =
    "<script language='javascript' type='text/javascript'>\nvar props = {\nsort: true,\nfilters_row_index:1,\n"
    "alternate_rows: true,\nrows_counter: true,\nfilters_cell_tag: 'TH',\nstatus_bar: true,\n"
    "mark_active_columns: true,\ndisplay_all_text: '< Show all >',\ncol_5: 'select',\ncol_4: 'select',\n"
    "col_3: 'select',\ncol_2: 'select',\ncol_0: 'select'\n}\nsetFilterGrid('idMyTable',1,props);\n </script>";

std::string WholePage(const std::string& rows) {
    return kStyle + "\n\n\n<script>\n" + std::string(TableFilterScript()) + kTableStart + rows +
           "</tbody></Table>\n<br><br>" + kMarch5thLine + kConfiguration + "\n\n\n</body></html>";
}

// The rows of a page, between the table head and its end.
std::string Rows(const std::string& page) {
    const std::size_t start = page.find(kTableStart);
    const std::size_t end = page.find("</tbody></Table>\n");
    if (start == std::string::npos || end == std::string::npos) {
        return "<no table>";
    }
    return page.substr(start + kTableStart.size(), end - start - kTableStart.size());
}

TEST(DynamicPage, RowsCarryTypeSlotAndCategories) {
    CatalogueVolume volume;
    volume.WriteVolumeList({"Mix", "Kits"});
    // Nine entries are visited, as the count line says; the tenth name is not.
    volume.WriteBankList("Mix", 9,
                         {"Piano One:AFK", "Empty Cat", "", "Bells:BXm", "Pad:ZL", "F6", "F7", "F8", "Ninth:E",
                          "Tenth:A"});
    volume.WriteBankList("Kits", 1, {"Studio:O"});
    volume.WriteProgram("Mix", "Piano One", "mpsa");
    volume.WriteProgram("Mix", "Empty Cat", "ogal");
    volume.WriteProgram("Mix", "Bells", "  fm");
    volume.WriteProgram("Mix", "Pad", "utfl");
    volume.WriteProgram("Mix", "Ninth", "arcl");
    volume.WriteProgram("Kits", "Studio", "umdr");

    EXPECT_EQ(BuildDynamicPage(volume.root(), kMarch5th),
              WholePage("<TR><TD>Mix</TD><TD>Piano One</TD><TD>Samples</TD><TD>A</TD><TD>1</TD><TD>Piano</TD>"
                        "<TD>Strings, Lead</TD></TR>\n"
                        "<TR><TD>Mix</TD><TD>Empty Cat</TD><TD>VA</TD><TD>A</TD><TD>2</TD><TD></TD><TD></TD></TR>\n"
                        "<TR><TD>Mix</TD><TD>Bells</TD><TD>FM</TD><TD>A</TD><TD>4</TD><TD>Chromatic</TD><TD></TD>"
                        "</TR>\n"
                        "<TR><TD>Mix</TD><TD>Pad</TD><TD>Wind</TD><TD>A</TD><TD>5</TD><TD></TD><TD>Pad</TD>"
                        "</TR>\n"
                        "<TR><TD>Mix</TD><TD>F6</TD><TD>Unknow</TD><TD>A</TD><TD>6</TD><TD></TD><TD></TD></TR>\n"
                        "<TR><TD>Mix</TD><TD>F7</TD><TD>Unknow</TD><TD>A</TD><TD>7</TD><TD></TD><TD></TD></TR>\n"
                        "<TR><TD>Mix</TD><TD>F8</TD><TD>Unknow</TD><TD>A</TD><TD>8</TD><TD></TD><TD></TD></TR>\n"
                        "<TR><TD>Mix</TD><TD>Ninth</TD><TD>Reed</TD><TD>B</TD><TD>1</TD><TD>Bass</TD><TD></TD>"
                        "</TR>\n"
                        "<TR><TD>Kits</TD><TD>Studio</TD><TD>Drums</TD><TD>A</TD><TD>1</TD><TD>Drum/Perc</TD>"
                        "<TD></TD></TR>\n"));
}

TEST(DynamicPage, AProgramThatCannotBeProbedIsUnknownNotThePreviousType) {
    CatalogueVolume volume;
    volume.WriteVolumeList({"Bank"});
    volume.WriteBankList("Bank", 4, {"Good", "Missing", "Stranger", "Odd"});
    volume.WriteProgram("Bank", "Good", "umdr");
    volume.WriteProgram("Bank", "Odd", "FM  ");
    ASSERT_TRUE(demo::WriteText(volume.Path({"Volume", "Programs", "Bank", "Stranger.afp"}), "S80p short"));

    EXPECT_EQ(Rows(BuildDynamicPage(volume.root(), kMarch5th)),
              "<TR><TD>Bank</TD><TD>Good</TD><TD>Drums</TD><TD>A</TD><TD>1</TD><TD></TD><TD></TD></TR>\n"
              "<TR><TD>Bank</TD><TD>Missing</TD><TD>Unknow</TD><TD>A</TD><TD>2</TD><TD></TD><TD></TD></TR>\n"
              "<TR><TD>Bank</TD><TD>Stranger</TD><TD>Unknow</TD><TD>A</TD><TD>3</TD><TD></TD><TD></TD></TR>\n"
              "<TR><TD>Bank</TD><TD>Odd</TD><TD>Unknow</TD><TD>A</TD><TD>4</TD><TD></TD><TD></TD></TR>\n");
}

TEST(DynamicPage, EntriesPastTheSlotsHaveNoLetterAndNumberZero) {
    CatalogueVolume volume;
    volume.WriteVolumeList({"Big"});
    volume.WriteNumberedBank("Big", 130);
    volume.WriteProgram("Big", "P129", "ogal");

    const std::string rows = Rows(BuildDynamicPage(volume.root(), kMarch5th));
    EXPECT_TRUE(core::EndsWith(rows,
              "<TR><TD>Big</TD><TD>P127</TD><TD>Unknow</TD><TD>P</TD><TD>8</TD><TD></TD><TD></TD></TR>\n"
              "<TR><TD>Big</TD><TD>P128</TD><TD>Unknow</TD><TD></TD><TD>0</TD><TD></TD><TD></TD></TR>\n"
              "<TR><TD>Big</TD><TD>P129</TD><TD>VA</TD><TD></TD><TD>0</TD><TD></TD><TD></TD></TR>\n"))
        << rows;
}

TEST(DynamicPage, UnreadableListsGiveNoRows) {
    {
        CatalogueVolume volume;
        EXPECT_EQ(BuildDynamicPage(volume.root(), kMarch5th), WholePage(""));
    }
    {
        CatalogueVolume volume;
        volume.WriteVolumeList({"NoList", "Short", "../Programs", "Negative", "Fine"});
        volume.WriteBankList("Short", 5, {"A", "B"});  // fewer names than announced
        volume.WriteBankList("Negative", -5, {"A", "B"});
        volume.WriteBankList("Fine", 1, {"Only"});
        EXPECT_EQ(Rows(BuildDynamicPage(volume.root(), kMarch5th)),
                  "<TR><TD>Fine</TD><TD>Only</TD><TD>Unknow</TD><TD>A</TD><TD>1</TD><TD></TD><TD></TD></TR>\n");
    }
}

TEST(DynamicPage, MarkupInNamesAndCategoriesIsEscaped) {
    CatalogueVolume volume;
    volume.WriteVolumeList({"A&B"});
    volume.WriteBankList("A&B", 2, {"<img src=x onerror=alert(1)>:A", "It's \"Pad\""});

    EXPECT_EQ(Rows(BuildDynamicPage(volume.root(), kMarch5th)),
              "<TR><TD>A&amp;B</TD><TD>&lt;img src=x onerror=alert(1)&gt;</TD><TD>Unknow</TD><TD>A</TD><TD>1</TD>"
              "<TD>Piano</TD><TD></TD></TR>\n"
              "<TR><TD>A&amp;B</TD><TD>It&#39;s &quot;Pad&quot;</TD><TD>Unknow</TD><TD>A</TD><TD>2</TD><TD></TD>"
              "<TD></TD></TR>\n");
}

TEST(DynamicPage, ScriptIsInlineAndCannotEndItsElementEarly) {
    const std::string_view script = TableFilterScript();
    ASSERT_GT(script.size(), 100000u);
    // The library's licence notice travels with every copy.
    EXPECT_TRUE(core::StartsWith(script, "/*! TableFilter ")) << script.substr(0, 80);
    EXPECT_NE(script.find("Copyright (c) 2015 Max Guglielmi"), std::string_view::npos);
    std::string lower(script);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    EXPECT_EQ(lower.find("</script"), std::string::npos);
    EXPECT_EQ(lower.find("<!--"), std::string::npos);
    EXPECT_NE(script.find("function setFilterGrid(id, refRow, props)"), std::string_view::npos);
    // The library's stylesheet and images travel inside; nothing names a file beside the page.
    EXPECT_NE(script.find("data:image/png;base64,"), std::string_view::npos);
    EXPECT_EQ(script.find("url(\"themes/"), std::string_view::npos);
    for (unsigned char c : script) {
        ASSERT_LT(c, 0x80) << "the page declares no character set";
    }
}

TEST(DynamicPage, WrittenFileCarriesTheLocalDate) {
    CatalogueVolume volume;
    volume.WriteVolumeList({"Bank"});
    volume.WriteBankList("Bank", 1, {"One"});
    const std::string output = volume.Path({"dynamic.htm"});

    ASSERT_EQ(WriteDynamicCatalogue(volume.root(), output), kPageWritten);
    EXPECT_EQ(testing::MaskDateLine(testing::ReadText(output)),
              testing::MaskDateLine(BuildDynamicPage(volume.root(), kMarch5th)));
}

}  // namespace
}  // namespace velmorant::catalogue
