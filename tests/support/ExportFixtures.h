#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bank/Bank.h"
#include "demo/VolumeBuilders.h"
#include "platform/ScriptedPlatform.h"

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

// Every call recorded by a scripted platform, as short texts in order:
// "progress", "title: ...", "status: ...", "range: 2", "position: 3", "close", "Error: text".
std::vector<std::string> CallTexts(const platform::ScriptedPlatform& scripted);

}  // namespace velmorant::exporttest
