#include "ExportFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/Bytes.h"
#include "core/Path.h"

namespace velmorant::exporttest {
namespace fs = std::filesystem;

void WriteAt(const std::string& root, std::initializer_list<std::string_view> parts,
             const std::vector<std::uint8_t>& bytes) {
    fs::path path(root);
    for (std::string_view part : parts) {
        path /= std::string(part);
    }
    fs::create_directories(path.parent_path());
    ASSERT_TRUE(demo::WriteFile(path.string(), bytes)) << path;
}

std::vector<std::uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> ListFilesBelow(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->is_regular_file()) {
            files.push_back(fs::relative(it->path(), folder).generic_string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

demo::Reference Disk(std::string folder, std::string name) {
    return demo::Reference{demo::kDiskLocation, std::move(folder), std::move(name)};
}

std::vector<std::uint8_t> SampleBytes(int seed, int frames) {
    return demo::BuildSampleFile(100.0 + 37.0 * seed, frames);
}

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& file, std::size_t offset, std::size_t width) {
    core::ByteReader reader(file);
    const auto bytes = reader.bytes(offset, width);
    if (!bytes) {
        ADD_FAILURE() << "field at " << offset << " lies outside a file of " << file.size() << " bytes";
        return {};
    }
    return std::vector<std::uint8_t>(bytes->begin(), bytes->end());
}

std::string StoredField(const std::vector<std::uint8_t>& file, std::size_t offset, std::size_t width) {
    core::ByteReader reader(file);
    return reader.pairSwappedText(offset, width).value_or("<outside the file>");
}

std::vector<std::uint8_t> ExpectedField(std::string_view text, std::size_t width) {
    std::vector<std::uint8_t> bytes(width, 0);
    for (std::size_t i = 0; i < width && i < text.size(); ++i) {
        bytes[i ^ 1u] = static_cast<std::uint8_t>(text[i]);
    }
    return bytes;
}

void LoadPrograms(bank::Bank& bank, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        const int slot = bank::AddProgram(bank, -1, path);
        ASSERT_GE(slot, 0) << "cannot load " << path << " (" << slot << ")";
    }
}

std::vector<std::string> CallTexts(const platform::ScriptedPlatform& scripted) {
    using Kind = platform::PlatformCall::Kind;
    std::vector<std::string> texts;
    for (const platform::PlatformCall& call : scripted.Calls()) {
        switch (call.kind) {
            case Kind::kProgressStart: texts.push_back(call.value ? "progress cycling" : "progress"); break;
            case Kind::kProgressTitle: texts.push_back("title: " + call.text); break;
            case Kind::kProgressStatus: texts.push_back("status: " + call.text); break;
            case Kind::kProgressRange: texts.push_back("range: " + std::to_string(call.value)); break;
            case Kind::kProgressPosition: texts.push_back("position: " + std::to_string(call.value)); break;
            case Kind::kProgressClose: texts.push_back("close"); break;
            case Kind::kMessage:
            case Kind::kConfirm: texts.push_back(call.title + ": " + call.text); break;
            default: texts.push_back("other: " + call.text); break;
        }
    }
    return texts;
}

}  // namespace velmorant::exporttest
