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

namespace {

class RecordingWindow final : public platform::ProgressWindow {
public:
    explicit RecordingWindow(std::vector<std::string>& calls) : calls_(calls) {}
    void SetTitle(std::string_view title) override { Record("title: ", title); }
    void SetStatus(std::string_view status) override { Record("status: ", status); }
    void SetRange(std::uint32_t high) override { Record("range: ", std::to_string(high)); }
    void SetPosition(std::int32_t position) override { Record("position: ", std::to_string(position)); }
    void BringToFront() override {}
    void Close() override {
        if (!closed_) {
            calls_.push_back("close");
        }
        closed_ = true;
    }

private:
    void Record(std::string_view what, std::string_view value) {
        if (closed_) {
            ADD_FAILURE() << "the job used its progress window after closing it";
        }
        calls_.push_back(std::string(what) + std::string(value));
    }
    std::vector<std::string>& calls_;
    bool closed_ = false;
};

}  // namespace

std::optional<std::vector<std::string>> RecordingPlatform::ChooseOpenFiles(const platform::OpenFileRequest&) {
    calls.push_back("choose files");
    return std::nullopt;
}
std::optional<std::string> RecordingPlatform::ChooseSaveFile(const platform::SaveFileRequest&) {
    calls.push_back("choose save file");
    return std::nullopt;
}
std::optional<std::string> RecordingPlatform::ChooseFolder(std::string_view) {
    calls.push_back("choose folder");
    return std::nullopt;
}
void RecordingPlatform::ShowMessage(std::string_view text, std::string_view title, platform::Icon) {
    calls.push_back("message " + std::string(title) + ": " + std::string(text));
}
bool RecordingPlatform::Confirm(std::string_view text, std::string_view title, platform::Icon) {
    calls.push_back("confirm " + std::string(title) + ": " + std::string(text));
    return false;
}
bool RecordingPlatform::OpenDocument(const std::string& path) {
    calls.push_back("open " + path);
    return false;
}
std::unique_ptr<platform::ProgressWindow> RecordingPlatform::StartProgressWindow(bool cycling) {
    calls.push_back(cycling ? "progress cycling" : "progress");
    return std::make_unique<RecordingWindow>(calls);
}

}  // namespace velmorant::exporttest
