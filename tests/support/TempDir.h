#pragma once

#include <map>
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
// Every file under root with its bytes, by its path relative to root with '/' separators.
std::map<std::string, std::vector<unsigned char>> FileTree(const std::string& root);
// The paths of FileTree(root), sorted.
std::vector<std::string> ListFiles(const std::string& root);

}  // namespace velmorant::testing
