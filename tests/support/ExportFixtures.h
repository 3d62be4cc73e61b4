#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bank/Bank.h"
#include "demo/VolumeBuilders.h"
#include "platform/Platform.h"

namespace velmorant::exporttest {

// Writes bytes at root/parts..., creating the folders on the way.
void WriteAt(const std::string& root, std::initializer_list<std::string_view> parts,
             const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadAll(const std::string& path);
// Every regular file below a folder, as paths relative to it, sorted.
std::vector<std::string> ListFilesBelow(const std::string& folder);

// A disk reference as the instrument writes it ("Local 1" location).
demo::Reference Disk(std::string folder, std::string name);
// A sample file whose contents tell it from any other of the same name.
std::vector<std::uint8_t> SampleBytes(int seed, int frames = 64);

// The text of a stored reference field: pairs exchanged back, nothing trimmed.
std::string StoredField(const std::vector<std::uint8_t>& file, std::size_t offset, std::size_t width);
// The bytes a field must hold: text and zero padding at full width, pairs exchanged.
std::vector<std::uint8_t> ExpectedField(std::string_view text, std::size_t width);
std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& file, std::size_t offset, std::size_t width);

// Loads each program file into the next free slot; fails the test when one is refused.
void LoadPrograms(bank::Bank& bank, const std::vector<std::string>& paths);

// Records every call a job makes, in order, as short texts ("status: ...", "close",
// "message Error: ..."); refuses every question.
class RecordingPlatform final : public platform::Platform {
public:
    std::vector<std::string> calls;

    std::optional<std::vector<std::string>> ChooseOpenFiles(const platform::OpenFileRequest&) override;
    std::optional<std::string> ChooseSaveFile(const platform::SaveFileRequest&) override;
    std::optional<std::string> ChooseFolder(std::string_view) override;
    void ShowMessage(std::string_view text, std::string_view title, platform::Icon icon) override;
    bool Confirm(std::string_view text, std::string_view title, platform::Icon icon) override;
    bool OpenDocument(const std::string& path) override;
    std::unique_ptr<platform::ProgressWindow> StartProgressWindow(bool cycling) override;
};

}  // namespace velmorant::exporttest
