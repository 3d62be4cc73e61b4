#include <gtest/gtest.h>

#include <string>

#include "CatalogueFixtures.h"
#include "catalogue/CataloguePages.h"
#include "core/Text.h"

namespace velmorant::catalogue {
namespace {

using testing::CatalogueVolume;
using testing::kMarch5th;
using testing::kMarch5thLine;

const std::string kHead =
    "<!DOCTYPE html>\n<html><Head><meta charset=\"utf-8\"><title>Velmorant - Catalogue</title>\n<style type='text/css'>\n"
    "table {width:1000px; border-width: 2px;border-spacing: 4px;border-style: solid;border-color: gray;"
    "border-collapse: collapse;background-color: rgb(255, 230, 230);}\n"
    "table td {width:250px; border-width: 1px;padding: 2px;border-style: inset;border-color: gray;"
    "background-color: white;-moz-border-radius: ;}\n"
    "h1{text-align : left;text-decoration : none;font-family : Verdana, Geneva, Arial, Helvetica, sans-serif;"
    "font-size : 20px;font-weight : bold;} \n"
    "h2{text-align : right;text-decoration : none;font-family : Verdana, Geneva, Arial, Helvetica, sans-serif;"
    "font-size : 14px;} \n"
    "</style>\n"
    "</head><body>";
const std::string kFoot = std::string(kMarch5thLine) + "</body></html>";

// A cell of empty numbered lines for one group letter.
std::string EmptyCell(char letter) {
    std::string cell = "<TD>";
    for (int n = 1; n <= 8; ++n) {
        cell += std::string(1, letter) + std::to_string(n) + "-<br>";
    }
    return cell + "</TD>\n";
}

// Rows 2 to 4 of a table whose groups E to P are empty.
std::string EmptyRowsTwoToFour() {
    std::string rows;
    for (char first : {'E', 'I', 'M'}) {
        rows += "<TR>";
        for (char letter = first; letter < first + 4; ++letter) {
            rows += EmptyCell(letter);
        }
        rows += "</TR>\n";
    }
    return rows;
}

const std::string kEmptyRowOneFromB = EmptyCell('B') + EmptyCell('C') + EmptyCell('D') + "</TR>\n";

TEST(StaticPage, ThreeNamesFillTheFirstCellAndLeaveTheRestNumbered) {
    CatalogueVolume volume;
    volume.WriteVolumeList({"Keys"});
    volume.WriteBankList("Keys", 3, {"Grand:A", "E-Piano:B", "Organ"});

    const std::string expected = kHead + "<H1>Keys</H1><br>\n<Table>\n<TR><TD>A1- Grand<br>A2- E-Piano<br>"
                                 "A3- Organ<br>A4-<br>A5-<br>A6-<br>A7-<br>A8-<br></TD>\n" +
                                 kEmptyRowOneFromB + EmptyRowsTwoToFour() + "</Table><br>\n" + kFoot;
    EXPECT_EQ(BuildStaticPage(volume.root(), kMarch5th), expected);
}

TEST(StaticPage, BlankNamesAreEmptyLinesAndKeepTheSlotsOfTheOthers) {
    CatalogueVolume volume;
    volume.WriteVolumeList({"Gaps"});
    // Blank lines are entries too, and the count line says how many entries are visited.
    volume.WriteBankList("Gaps", 4, {"One", "   ", "", "Four", "Five", "Six"});

    const std::string page = BuildStaticPage(volume.root(), kMarch5th);
    EXPECT_NE(page.find("<TR><TD>A1- One<br>A2-<br>A3-<br>A4- Four<br>A5-<br>"), std::string::npos) << page;
}

TEST(StaticPage, EntriesPastTheSlotsAreListedUnderTheTable) {
    CatalogueVolume volume;
    volume.WriteVolumeList({"Big"});
    volume.WriteNumberedBank("Big", 130);

    const std::string page = BuildStaticPage(volume.root(), kMarch5th);
    EXPECT_NE(page.find("<TD>P1- P120<br>P2- P121<br>P3- P122<br>P4- P123<br>P5- P124<br>P6- P125<br>"
                        "P7- P126<br>P8- P127<br></TD>\n</TR>\n"
                        "</Table><br>128- P128<br>129- P129<br>\n"),
              std::string::npos)
        << page;
}

TEST(StaticPage, BanksWithoutTheirListAndVolumesWithoutOne) {
    {
        CatalogueVolume volume;
        volume.WriteVolumeList({"Lost", "Kept", ".."});
        volume.WriteBankList("Kept", -1, {"Solo"});  // a signed count visits no entry
        const std::string page = BuildStaticPage(volume.root(), kMarch5th);
        // ".." would be the volume's own folder: it is no bank folder either.
        EXPECT_NE(page.find("<H1>Lost</H1><br>\nNo bank.txt file\n<H1>Kept</H1><br>\n<Table>\n<TR><TD>A1-<br>"),
                  std::string::npos)
            << page;
        EXPECT_TRUE(core::EndsWith(page, "<H1>..</H1><br>\nNo bank.txt file\n" + kFoot)) << page;
    }
    {
        CatalogueVolume volume;
        EXPECT_EQ(BuildStaticPage(volume.root(), kMarch5th), kHead + kFoot);
    }
}

TEST(StaticPage, MarkupInNamesIsEscaped) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows folder names cannot hold < or >";
#endif
    CatalogueVolume volume;
    volume.WriteVolumeList({"R&D <1>"});
    volume.WriteBankList("R&D <1>", 2, {"<script>alert('x')</script>", "Say \"hi\""});

    const std::string page = BuildStaticPage(volume.root(), kMarch5th);
    EXPECT_NE(page.find("<H1>R&amp;D &lt;1&gt;</H1><br>\n"), std::string::npos) << page;
    EXPECT_NE(page.find("A1- &lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;<br>A2- Say &quot;hi&quot;<br>"),
              std::string::npos)
        << page;
    EXPECT_EQ(page.find("<script"), std::string::npos);
}

TEST(StaticPage, WrittenFileCarriesTheLocalDate) {
    CatalogueVolume volume;
    volume.WriteVolumeList({"Keys"});
    volume.WriteBankList("Keys", 1, {"Grand"});
    const std::string output = volume.Path({"page.htm"});

    ASSERT_EQ(WriteStaticCatalogue(volume.root(), output), kPageWritten);
    const std::string written = testing::ReadText(output);
    EXPECT_EQ(testing::MaskDateLine(written), testing::MaskDateLine(BuildStaticPage(volume.root(), kMarch5th)));
    EXPECT_NE(written.find("<H2>Velmorant - "), std::string::npos);
    EXPECT_EQ(WriteStaticCatalogue(volume.root(), volume.Path({"missing", "page.htm"})), kPageNotCreated);
}

}  // namespace
}  // namespace velmorant::catalogue
