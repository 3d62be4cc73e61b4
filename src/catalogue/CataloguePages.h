#pragma once

#include <string>
#include <string_view>

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

// Names and categories come from bank.txt files anyone can write, so they are escaped
// (& < > " ') before they go into a page.
std::string EscapeHtml(std::string_view text);

// The pages themselves, built from the volume's bank.txt files (the dynamic one also reads
// the first 16 bytes of each listed program file).
std::string BuildStaticPage(const std::string& volumeFolder, const PageTime& time);
std::string BuildDynamicPage(const std::string& volumeFolder, const PageTime& time);

// Results of the writers.
inline constexpr int kPageWritten = 1;
inline constexpr int kPageNotCreated = -2;

// Write the page for the local time to outputPath; a failed write leaves any earlier file
// there untouched.
int WriteStaticCatalogue(const std::string& volumeFolder, const std::string& outputPath);
int WriteDynamicCatalogue(const std::string& volumeFolder, const std::string& outputPath);

}  // namespace velmorant::catalogue
