#pragma once

#include <string>
#include <vector>

#include "catalogue/CataloguePages.h"
#include "support/TempDir.h"

namespace velmorant::testing {

// A volume root named "Volume" in a temporary folder, with bank lists and program files
// written one by one.
class CatalogueVolume {
public:
    CatalogueVolume();
    const std::string& root() const { return root_; }
    std::string Path(std::initializer_list<std::string> parts) const { return dir_(parts); }

    // Programs/bank.txt listing the banks, with a count line of their number.
    void WriteVolumeList(const std::vector<std::string>& banks);
    // Programs/<bank>/bank.txt: "Number of items: count" then the lines, CR LF after each.
    void WriteBankList(const std::string& bank, int count, const std::vector<std::string>& lines);
    // A list of `count` entries named P0, P1, ...
    void WriteNumberedBank(const std::string& bank, int count);
    // Programs/<bank>/<name>.afp with the type tag at offset 12 (four characters).
    void WriteProgram(const std::string& bank, const std::string& name, const std::string& tag);

private:
    TempDir dir_;
    std::string root_;
};

// A fixed moment, so whole pages compare exactly.
inline constexpr catalogue::PageTime kMarch5th{3, 5, 2024, 9, 7};
inline constexpr const char* kMarch5thLine = "<H2>Velmorant - 2024-03-05 09:07</H2>";

}  // namespace velmorant::testing
