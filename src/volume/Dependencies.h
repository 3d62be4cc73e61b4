#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/File.h"
#include "core/FileSource.h"
#include "volume/ProgramRecord.h"

namespace velmorant::volume {

// Checksums of sample files already read, keyed by path and checked against the
// file's size and modification stamp, so a sample shared by many programs is read once.
class ChecksumCache {
public:
    std::uint32_t FileCrc32(const std::string& path, core::FileSource& files = core::DiskFiles());
    // The checksum remembered for the file as it is at `stamp`, if any.
    std::optional<std::uint32_t> Known(const std::string& path, const core::FileStamp& stamp);
    // A checksum already computed from a read that began with the file at `stamp`.
    void Remember(const std::string& path, const core::FileStamp& stamp, std::uint32_t crc);
    void Clear();
    // Known also looks in `shared`, which must not change while this cache consults it:
    // threads each with a cache of their own share one filled before they start.
    void Consult(const ChecksumCache* shared) { shared_ = shared; }

    // When on, a sample met while loading is checksummed by the read that checks its head
    // (one open instead of two, for callers that show every checksum). What a load reads is
    // held apart until SettleLoaded(), so a load sees the cache as it was before it began.
    void ChecksumAtLoad(bool on) { atLoad_ = on; }
    bool checksumsAtLoad() const { return atLoad_; }
    std::optional<std::uint32_t> LoadedNow(const std::string& path, const core::FileStamp& stamp);
    void HoldLoaded(const std::string& path, const core::FileStamp& stamp, std::uint32_t crc);
    // The checksums held since the last call join the cache when `keep`, else are dropped.
    void SettleLoaded(bool keep);
    // A sample read whole ahead of its load (head and checksum), which that load takes instead
    // of reading it: once, and only while the file's stamp is the one it was read at.
    void HoldAhead(const std::string& path, core::HeadAndCrc32 read);
    std::optional<core::HeadAndCrc32> TakeAhead(const std::string& path, const core::FileStamp& stamp);

private:
    struct Entry {
        core::FileStamp stamp;
        std::uint32_t crc = 0;
    };
    bool Remembers(const std::string& path);

    std::mutex mutex_;
    std::unordered_map<std::string, Entry> entries_;
    std::unordered_map<std::string, Entry> loaded_;
    std::unordered_map<std::string, core::HeadAndCrc32> ahead_;
    const ChecksumCache* shared_ = nullptr;
    bool atLoad_ = false;
};

// The file's CRC-32, through the cache when one is given.
std::uint32_t FileChecksum(const std::string& path, ChecksumCache* cache,
                           core::FileSource& files = core::DiskFiles());

// The dependency's checksum, read now when loading left it pending.
std::uint32_t DependencyChecksum(const DependencyRecord& dependency, ChecksumCache* cache = nullptr);

// The samples of multisamples already resolved, taken again for every program that plays the
// same multisample. Only for callers whose volume does not change while the memo lives (the
// check's snapshot): an import must see each file as it is at that moment.
class MultisampleMemo {
public:
    struct Entry {
        std::optional<std::vector<DependencyRecord>> samples;  // unset when the resolution left them alone
        std::string log;  // what the resolution logged, CR LF after each entry
        int result = 0;
    };
    // The entry for the multisample named by `path` with volume number `volume`, or null.
    const Entry* Find(const std::string& path, std::int32_t volume) const;
    const Entry& Keep(const std::string& path, std::int32_t volume, Entry entry);

private:
    std::unordered_map<std::string, Entry> entries_;
};

inline constexpr int kUnusableProgram = -4;

// 1 when every level-1 file was found (or the program file cannot be opened),
// -10 when one is missing, -1 when the type is neither 1 nor 2, kUnusableProgram when the
// file is too large to be read (its log says why).
int ResolveDependencies(ProgramRecord& record, ChecksumCache* cache = nullptr,
                        core::FileSource& files = core::DiskFiles(), MultisampleMemo* memo = nullptr);

// 0 when the record is not a multisample to search, else 1 or -10.
int ResolveMultisampleSamples(ProgramRecord& record, std::size_t index, ChecksumCache* cache = nullptr,
                              core::FileSource& files = core::DiskFiles(), MultisampleMemo* memo = nullptr);

}  // namespace velmorant::volume
