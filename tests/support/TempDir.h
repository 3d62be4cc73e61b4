#pragma once

#include <string>
#include <vector>

namespace velmorant::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() joined with the parts by the native separator.
    std::string operator()(std::initializer_list<std::string> parts) const;

private:
    std::string path_;
};

// A temporary folder holding the demo volume under <tmp>/Volume.
class DemoVolumeDir {
public:
    DemoVolumeDir();
    const std::string& root() const { return root_; }
    std::string program(const std::string& bank, const std::string& name) const;
    std::string operator()(std::initializer_list<std::string> parts) const;

private:
    TempDir dir_;
    std::string root_;
};

// False where this process may not make symbolic links (Windows without the privilege, Wine):
// tests that plant links skip there.
bool CanMakeSymbolicLinks();

std::vector<unsigned char> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);

}  // namespace velmorant::testing
