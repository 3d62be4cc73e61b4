#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/File.h"

namespace velmorant::doctor {

// What one read of a sample file yields: the checksum the resolution records, a key of the
// sound alone (the bytes after the header, so a renamed or re-keyed copy still matches) and
// what is wrong with the file, if anything.
struct SampleFacts {
    bool readable = false;
    core::FileStamp stamp;        // taken before the read
    std::uint32_t crc = 0;        // CRC-32 of the whole file
    std::uint64_t soundKey = 0;   // hash of the sound bytes
    std::uint64_t soundBytes = 0;
    std::string problem;          // empty when the file looks like a sample file
    bool notSample = false;       // too short or without the magic: no instrument reads it
};

// `stamp`, when given, is the file's stamp as just taken; otherwise the file is looked at first.
SampleFacts ScanSampleFile(const std::string& path, const core::FileStamp* stamp = nullptr);

// Scans every path on `threads` threads; results in the order of `paths`. `stamps`, when not
// empty, are the paths' stamps, in the same order. `next`, when given, is called after each
// file; once it returns false no further file is read.
std::vector<SampleFacts> ScanSampleFiles(const std::vector<std::string>& paths, unsigned threads,
                                         std::span<const core::FileStamp> stamps = {},
                                         const std::function<bool()>& next = {});

// A checksum and a sound key over a file's bytes: the same sums ScanSampleFile computes
// (also what an export manifest records, see docs/formats/export-manifest.md).
struct ContentSums {
    std::uint32_t crc = 0;
    std::uint64_t size = 0;
};
// nullopt when the file cannot be read.
std::optional<ContentSums> FileContentSums(const std::string& path);

}  // namespace velmorant::doctor
