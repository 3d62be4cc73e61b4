#include "core/Checksum.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "core/Debug.h"
#include "core/File.h"
#include "core/FileHandle.h"

#ifdef VELMORANT_HAVE_ISAL
#include <isa-l/crc.h>
#else
#include <zlib.h>
#endif

namespace velmorant::core {

namespace {
constexpr std::size_t kChecksumBlock = 256 * 1024;
}  // namespace

std::uint32_t Crc32Update(std::uint32_t crc, std::span<const std::uint8_t> data) {
#ifdef VELMORANT_HAVE_ISAL
    // ISA-L takes and returns the plain checksum; chaining works like zlib's crc32().
    std::size_t done = 0;
    while (done < data.size()) {
        const std::size_t n = std::min<std::size_t>(data.size() - done, 1u << 30);
        crc = crc32_gzip_refl(crc, data.data() + done, n);
        done += n;
    }
    return crc;
#else
    std::size_t done = 0;
    while (done < data.size()) {
        const std::size_t n = std::min<std::size_t>(data.size() - done, 1u << 30);
        crc = static_cast<std::uint32_t>(::crc32(crc, data.data() + done, static_cast<uInt>(n)));
        done += n;
    }
    return crc;
#endif
}
namespace {
// CRC-32 of the rest of the stream; its first headBytes bytes are also copied to `head`.
std::uint32_t StreamCrc32(std::FILE* stream, std::vector<std::uint8_t>* head, std::size_t headBytes) {
    if (stream == nullptr) {
        return 0xFFFFFFFFu;
    }
    // One block per thread for every checksum: allocating (and zeroing) it per file cost
    // more than reading a small sample.
    thread_local const std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[kChecksumBlock]);
    std::uint32_t crc = 0;
    for (;;) {
        const std::size_t n = std::fread(block.get(), 1, kChecksumBlock, stream);
        if (n == 0) {
            break;
        }
        if (head != nullptr && head->size() < headBytes) {
            head->insert(head->end(), block.get(), block.get() + std::min(n, headBytes - head->size()));
        }
        crc = Crc32Update(crc, std::span<const std::uint8_t>(block.get(), n));
    }
    if (std::ferror(stream) != 0) {
        DebugPrint("error reading file\n");
        return 0xFFFFFFFFu;
    }
    return crc;
}
}  // namespace

std::uint32_t StreamCrc32(std::FILE* stream) { return StreamCrc32(stream, nullptr, 0); }
std::uint32_t FileCrc32(const std::string& path) {
    FilePtr file = OpenRead(path);
    if (!file) {
        return 0xFFFFFFFFu;
    }
    // Checksumming streams the file; its buffer is ours, so stdio's is not needed.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    return StreamCrc32(file.get());
}
std::optional<HeadAndCrc32> FileHeadAndCrc32(const std::string& path, std::size_t n) {
    std::optional<FileStamp> before;
    FilePtr file = OpenRead(path, before);
    if (!file) {
        return std::nullopt;
    }
    const auto stampNow = [&] {
        const auto stamp = StreamStamp(file.get());
        return stamp ? stamp : StatFile(path);
    };
    if (!before) {
        before = stampNow();
    }
    if (!before) {
        return std::nullopt;
    }
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    HeadAndCrc32 result;
    result.checksum = StampedCrc32{*before, StreamCrc32(file.get(), &result.head, n), false};
    result.checksum.steady = stampNow() == before;
    return result;
}
std::optional<StampedCrc32> FileCrc32Stamped(const std::string& path) {
    auto read = FileHeadAndCrc32(path, 0);
    return read ? std::optional<StampedCrc32>(read->checksum) : std::nullopt;
}
int FilesEqual(const std::string& a, const std::string& b) {
    if (FileSize(a) != FileSize(b)) {
        return 0;
    }
    return FileCrc32(a) == FileCrc32(b) ? 1 : 0;
}

}  // namespace velmorant::core
