#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "core/File.h"
#include "core/Path.h"
#include "demo/DemoVolume.h"

namespace velmorant::testing {
namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    const fs::path base = fs::temp_directory_path() / ("velmorant-test-" + std::to_string(random()) + "-" +
                                                       std::to_string(counter.fetch_add(1)));
    fs::create_directories(base);
    path_ = core::PathText(base);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(core::NativePath(path_), ec);
}

namespace {
std::string Join(std::string path, std::initializer_list<std::string> parts) {
    for (const auto& part : parts) path = core::JoinPath(path, part);
    return path;
}
}  // namespace

std::string TempDir::operator()(std::initializer_list<std::string> parts) const { return Join(path_, parts); }

bool CanMakeSymbolicLinks() {
    static const bool can = [] {
        TempDir dir;
        std::error_code ec;
        fs::create_symlink(core::NativePath(dir({"target"})), core::NativePath(dir({"link"})), ec);
        return !ec;
    }();
    return can;
}

DemoVolumeDir::DemoVolumeDir() : root_(dir_({"Volume"})) {
    std::string error;
    if (!demo::WriteDemoVolume(root_, error)) ADD_FAILURE() << "demo volume: " << error;
}

std::string DemoVolumeDir::program(const std::string& bank, const std::string& name) const {
    return (*this)({"Programs", bank, name + ".afp"});
}

std::string DemoVolumeDir::operator()(std::initializer_list<std::string> parts) const { return Join(root_, parts); }

std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream in(core::NativePath(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const std::string& path) {
    const auto bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

std::map<std::string, std::vector<unsigned char>> FileTree(const std::string& root) {
    std::map<std::string, std::vector<unsigned char>> tree;
    for (const auto& entry : fs::recursive_directory_iterator(core::NativePath(root))) {
        if (entry.is_regular_file()) {
            tree[fs::relative(entry.path(), core::NativePath(root)).generic_string()] = ReadBytes(core::PathText(entry.path()));
        }
    }
    return tree;
}

std::vector<std::string> ListFiles(const std::string& root) {
    std::vector<std::string> files;
    for (const auto& [file, bytes] : FileTree(root)) files.push_back(file);
    return files;
}

}  // namespace velmorant::testing
