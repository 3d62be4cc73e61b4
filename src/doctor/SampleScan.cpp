#include "doctor/SampleScan.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <span>
#include <thread>

#include "core/File.h"
#include "core/Bytes.h"
#include "core/Checksum.h"
#include "core/Text.h"
#include "formats/SampleFile.h"

#ifdef VELMORANT_HAVE_ISAL
#include <isa-l/crc64.h>
#else
#include <zlib.h>
#endif

namespace velmorant::doctor {
namespace {

// The 48-byte header of a sample file; the 16-bit sound follows it.
constexpr std::size_t kHeaderSize = formats::kSampleHeaderSize;
constexpr std::size_t kLengthField = formats::kSampleLength;
constexpr std::uint32_t kLengthBias = formats::kSampleLengthBias;
constexpr std::size_t kBlock = 256 * 1024;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Reads the file once in blocks; false when it cannot be opened or a read fails.
bool ReadBlocks(const std::string& path, const std::function<void(std::span<const std::uint8_t>)>& consume) {
    const std::unique_ptr<std::FILE, FileCloser> file(core::OpenFile(path, "rb"));
    if (!file) {
        return false;
    }
    // Our block is the buffer; stdio's own would only add a copy.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    // One block per thread, not cleared: a volume has thousands of samples.
    thread_local const std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[kBlock]);
    for (;;) {
        const std::size_t n = std::fread(block.get(), 1, kBlock, file.get());
        if (n > 0) {
            consume(std::span<const std::uint8_t>(block.get(), n));
        }
        if (n < kBlock) {
            return std::ferror(file.get()) == 0;
        }
    }
}

std::uint64_t SoundKeyUpdate(std::uint64_t key, std::span<const std::uint8_t> data) {
#ifdef VELMORANT_HAVE_ISAL
    return crc64_ecma_refl(key, data.data(), data.size());
#else
    // Two independent 32-bit sums stand in for a 64-bit one.
    auto crc = static_cast<std::uint32_t>(key >> 32);
    auto adler = static_cast<std::uint32_t>(key);
    if (key == 0) {
        adler = 1;
    }
    crc = static_cast<std::uint32_t>(::crc32(crc, data.data(), static_cast<uInt>(data.size())));
    adler = static_cast<std::uint32_t>(::adler32(adler, data.data(), static_cast<uInt>(data.size())));
    return (std::uint64_t{crc} << 32) | adler;
#endif
}

}  // namespace

SampleFacts ScanSampleFile(const std::string& path, const core::FileStamp* known) {
    SampleFacts facts;
    const auto stamp = known != nullptr ? std::optional<core::FileStamp>(*known) : core::StatFile(path);
    if (!stamp) {
        facts.problem = "cannot be opened";
        return facts;
    }
    facts.stamp = *stamp;
    std::uint8_t header[kHeaderSize];
    std::size_t headerFill = 0;
    std::uint64_t total = 0;
    std::uint32_t crc = 0;
    std::uint64_t key = 0;
    const bool read = ReadBlocks(path, [&](std::span<const std::uint8_t> data) {
        crc = core::Crc32Update(crc, data);
        total += data.size();
        const std::size_t take = std::min(kHeaderSize - headerFill, data.size());
        std::memcpy(header + headerFill, data.data(), take);
        headerFill += take;
        if (data.size() > take) {
            key = SoundKeyUpdate(key, data.subspan(take));
        }
    });
    if (!read) {
        facts.problem = "cannot be read";
        return facts;
    }
    facts.readable = true;
    facts.crc = crc;
    facts.soundKey = key;
    facts.soundBytes = total > kHeaderSize ? total - kHeaderSize : 0;

    const core::ByteReader reader(std::span<const std::uint8_t>(header, headerFill));
    facts.notSample = headerFill < kHeaderSize || std::memcmp(header, formats::kSampleMagic, 4) != 0;
    if (headerFill < kHeaderSize) {
        facts.problem = core::Format("is %u bytes long, shorter than the %u-byte sample header",
                                     static_cast<unsigned>(total), static_cast<unsigned>(kHeaderSize));
    } else if (std::memcmp(header, formats::kSampleMagic, 4) != 0) {
        facts.problem = "does not start with \"S80s\": not a sample file";
    } else {
        const std::uint32_t length = reader.u32be(kLengthField).value_or(0);
        // The sound of an odd length is stored with one pad byte.
        const std::uint64_t stored = length < kLengthBias ? 0 : ((std::uint64_t{length} - kLengthBias + 1) & ~1ull);
        if (length < kLengthBias) {
            facts.problem = core::Format("length field at offset 4 is %u, below its bias of 40", length);
        } else if (stored > facts.soundBytes) {
            facts.problem = core::Format("declares %llu bytes of sound at offset 4 but holds %llu",
                                         static_cast<unsigned long long>(stored),
                                         static_cast<unsigned long long>(facts.soundBytes));
        }
    }
    return facts;
}

std::vector<SampleFacts> ScanSampleFiles(const std::vector<std::string>& paths, unsigned threads,
                                         std::span<const core::FileStamp> stamps, const std::function<bool()>& next) {
    std::vector<SampleFacts> results(paths.size());
    std::atomic<std::size_t> index{0};
    std::atomic<bool> stop{false};
    const auto work = [&] {
        for (std::size_t i = index++; i < paths.size() && !stop; i = index++) {
            results[i] = ScanSampleFile(paths[i], i < stamps.size() ? &stamps[i] : nullptr);
            if (next && !next()) {
                stop = true;
            }
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < std::max(1u, threads); ++t) {
        pool.emplace_back(work);
    }
    work();
    for (std::thread& thread : pool) {
        thread.join();
    }
    return results;
}

std::optional<ContentSums> FileContentSums(const std::string& path) {
    ContentSums sums;
    const bool read = ReadBlocks(path, [&](std::span<const std::uint8_t> data) {
        sums.crc = core::Crc32Update(sums.crc, data);
        sums.size += data.size();
    });
    if (!read) {
        return std::nullopt;
    }
    return sums;
}

}  // namespace velmorant::doctor
