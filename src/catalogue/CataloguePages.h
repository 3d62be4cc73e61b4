#pragma once

#include <cstdint>
#include <functional>
#include <locale>
#include <string>
#include <string_view>
#include <vector>

namespace velmorant::catalogue {

// The moment printed at the foot of a page.
struct PageTime {
    int month = 1;  // 1..12
    int day = 1;
    int year = 1970;
    int hour = 0;
    int minute = 0;
};
PageTime LocalPageTime();
// The moment as the reader's locale writes a date, with the time as hours and minutes
// (year-month-day in the C locale, whose own date form is ambiguous).
std::string FooterDate(const PageTime& time, const std::locale& locale);
// The locale the environment names, or the C locale when the system does not have it.
std::locale UserLocale();

// Names and categories come from bank.txt files anyone can write, so they are escaped
// (& < > " ') before they go into a page.
std::string EscapeHtml(std::string_view text);

// One program of the dynamic catalogue: every name a listed bank's bank.txt lists.
struct CatalogueRow {
    std::string bank;  // Windows-1252, as bank.txt holds it
    std::string name;
    std::int32_t type = 0;
    std::string letter;  // "A".."P"; empty past the 128 slots
    int number = 0;      // 1..8; 0 past the 128 slots
    std::string mainCategory;
    std::string otherCategories;  // joined by ", "
    std::string path;             // the program file it names; empty when the name cannot name one
};
// Asked between programs; true stops the listing, and nothing is written.
using StopRequested = std::function<bool()>;
std::vector<CatalogueRow> DynamicCatalogueRows(const std::string& volumeFolder, const StopRequested& stop = {});

// The pages themselves, built from the volume's bank.txt files (the dynamic one also reads
// the first 16 bytes of each listed program file).
std::string BuildStaticPage(const std::string& volumeFolder, const PageTime& time,
                            const std::locale& locale = std::locale::classic());
std::string BuildDynamicPage(const std::string& volumeFolder, const PageTime& time,
                             const std::locale& locale = std::locale::classic());

// Results of the writers.
inline constexpr int kPageWritten = 1;
inline constexpr int kPageNotCreated = -2;
inline constexpr int kPageCancelled = 0;  // stopped before a byte was written

// Write the page for the local time to outputPath; a failed write leaves any earlier file
// there untouched.
int WriteStaticCatalogue(const std::string& volumeFolder, const std::string& outputPath);
int WriteDynamicCatalogue(const std::string& volumeFolder, const std::string& outputPath,
                          const StopRequested& stop = {});

}  // namespace velmorant::catalogue
