#include "CatalogueFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "demo/VolumeBuilders.h"

namespace velmorant::testing {

CatalogueVolume::CatalogueVolume() : root_(dir_({"Volume"})) {
    std::filesystem::create_directories(dir_({"Volume", "Programs"}));
}

void CatalogueVolume::WriteVolumeList(const std::vector<std::string>& banks) {
    std::string text = "Number of items: " + std::to_string(banks.size()) + "\r\n";
    for (const std::string& bank : banks) {
        text += bank + "\r\n";
    }
    ASSERT_TRUE(demo::WriteText(dir_({"Volume", "Programs", "bank.txt"}), text));
}

void CatalogueVolume::WriteBankList(const std::string& bank, int count, const std::vector<std::string>& lines) {
    std::filesystem::create_directories(dir_({"Volume", "Programs", bank}));
    std::string text = "Number of items: " + std::to_string(count) + "\r\n";
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    ASSERT_TRUE(demo::WriteText(dir_({"Volume", "Programs", bank, "bank.txt"}), text));
}

void CatalogueVolume::WriteNumberedBank(const std::string& bank, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        names.push_back("P" + std::to_string(i));
    }
    WriteBankList(bank, count, names);
}

void CatalogueVolume::WriteProgram(const std::string& bank, const std::string& name, const std::string& tag) {
    std::filesystem::create_directories(dir_({"Volume", "Programs", bank}));
    demo::ProgramLayout layout;
    layout.tag = tag;
    ASSERT_TRUE(demo::WriteFile(dir_({"Volume", "Programs", bank, name + ".afp"}), demo::BuildProgramFile(layout)));
}

}  // namespace velmorant::testing
