#include "volume/Dependencies.h"

#include <cstring>

#include "core/Bytes.h"
#include "core/Checksum.h"
#include "core/Debug.h"
#include "core/Encoding.h"
#include "core/File.h"
#include "core/FileNames.h"
#include "core/Path.h"
#include "core/Text.h"
#include "formats/MultisampleFile.h"
#include "formats/ProgramFile.h"
#include "formats/ReferenceRecord.h"
#include "formats/SampleFile.h"
#include "volume/ProgramFile.h"

namespace velmorant::volume {
namespace {

// A file that loads but is damaged: the log says which file and what is wrong, and the
// program still loads as before (stored banks may rely on it).
void Warn(ProgramRecord& program, const std::string& problem) {
    AppendLog(program, "Warning: " + problem + "\n");
}

// A sample file whose head is not a sample's, or whose sound runs past its end.
void CheckSampleFile(ProgramRecord& program, const std::string& path, std::int64_t size,
                     const std::vector<std::uint8_t>& head) {
    formats::SampleRead read = formats::ReadSampleHeader(head);
    if (read.result == formats::SampleResult::kSoundPastEnd &&
        formats::kSampleHeaderSize + formats::StoredSoundBytes(read.header.soundLength) <= static_cast<std::uint64_t>(size)) {
        return;  // only the head was read; the sound is there
    }
    if (read.result != formats::SampleResult::kOk) {
        Warn(program, formats::DescribeSampleProblem(path, read));
    }
}

enum class Level { kProgram, kMultisample };

// Where one reference was found and what it names.
struct ReferenceSite {
    Level level;
    DependencyKind wanted;        // DependencyKind::kMultisample or DependencyKind::kSample
    formats::StoredReference stored;
    std::int32_t parentVolume;
    std::int32_t referenceOffset;
    std::int32_t logOffset;       // N of the log lines
    std::string referencingDir;   // folder of the referencing file
};

// Resolves one reference into `list`. Returns false when the file is missing.
bool ResolveReference(ProgramRecord& program, std::vector<DependencyRecord>& list, const ReferenceSite& site,
                      ChecksumCache* cache, core::FileSource& files, bool& appended) {
    appended = false;
    const formats::Reference decoded = formats::DecodeReference(
        site.stored, site.level == Level::kProgram ? formats::VolumeRule::kProgram : formats::VolumeRule::kMultisample,
        site.parentVolume);
    if (site.level == Level::kMultisample) {
        core::DebugPrint("Sample -> ##%s##\n", decoded.name.c_str());
    }
    if (decoded.name.empty()) {
        return true;
    }
    if (list.size() >= kMaxDependencies) {
        return true;
    }

    DependencyRecord record;
    record.foundName = decoded.name;
    record.locationText = decoded.location;
    record.volumeNumber = decoded.volumeNumber;
    record.referenceOffset = site.referenceOffset;
    if (core::TrimSpaces(decoded.folder).empty()) {
        record.folderName = core::NameFromFileName(core::PathFileName(site.referencingDir));
        record.folderGiven = false;
    } else {
        record.folderName = decoded.folder;
        record.folderGiven = true;
    }

    const std::string root = core::PathDirectory(core::PathDirectory(site.referencingDir));
    const std::string folder(core::TrimSpaces(record.folderName));
    const std::string name(core::TrimSpaces(record.foundName));
    const bool multisample = site.wanted == DependencyKind::kMultisample;
    const std::string base = core::JoinPath(root, multisample ? "Multisamples" : "Samples");
    const char* extension = multisample ? ".afi" : ".afs";
    // The name as written first: one stat when the file is where its name says.
    std::string path =
        core::JoinPath(core::JoinPath(base, core::Cp1252ToUtf8(folder)), core::Cp1252ToUtf8(name) + extension);
    const bool level2 = site.level == Level::kMultisample;

    bool found = true;
    if (record.volumeNumber < 1) {
        record.sourcePath = "FUSION ROM / " + record.foundName;
        record.kind = DependencyKind::kRom;
        record.fileSize = 0;
        record.crc = 0;
        AppendLog(program, core::Format(level2 ? "%i : Found ROM dependence (levl 2) : %s"
                                               : "%i : Found ROM dependence : %s",
                                        site.logOffset, record.foundName.c_str()));
    } else {
        // A folder or name that is not one plain path component (".." or a separator) cannot
        // name a file of this volume: treat it as missing rather than look outside the volume.
        const bool safe = core::IsSafePathComponent(folder) && core::IsSafePathComponent(name + ".afs");
        // One stat answers existence, size and whether the remembered checksum still holds.
        auto stamp = safe ? files.Stat(path) : std::nullopt;
        if (safe && !stamp) {
            path = core::FindNamedFile(core::FindNamedFile(base, folder, "", files), name, extension, files);
            stamp = files.Stat(path);
        }
        record.sourcePath = path;
        const auto known = stamp && cache != nullptr ? cache->Known(path, *stamp) : std::nullopt;
        // A sample read before at this stamp was checked then; reading the head of one that
        // was not also shows that it opens.
        const bool readHead = stamp && !known && !multisample;
        auto loaded = readHead && cache != nullptr && cache->checksumsAtLoad() ? cache->LoadedNow(path, *stamp)
                                                                                : std::nullopt;
        std::optional<std::vector<std::uint8_t>> head;
        if (readHead && cache != nullptr && cache->checksumsAtLoad() && !loaded) {
            auto read = cache->TakeAhead(path, *stamp);
            if (!read) {
                read = files.ReadHeadAndCrc32(path, formats::kSampleHeaderSize);
            }
            if (read) {
                head = std::move(read->head);
                // Only a checksum of the file as it was looked up is the one its size belongs to.
                if (read->checksum.steady && read->checksum.stamp == *stamp && read->checksum.crc != 0xFFFFFFFFu) {
                    cache->HoldLoaded(path, *stamp, read->checksum.crc);
                    loaded = read->checksum.crc;
                }
            }
        } else if (readHead) {
            head = files.ReadHead(path, formats::kSampleHeaderSize);
        }
        if (stamp && (known || head || files.IsReadable(path))) {
            record.kind = site.wanted;
            record.fileSize = stamp->size;
            const auto crc = known ? known : loaded;
            record.crc = crc ? *crc : 0;
            record.crcPending = !crc;
            if (head) {
                CheckSampleFile(program, path, stamp->size, *head);
            }
            const char* format = level2        ? "%i : Found Sample dependence (levl 2) : %s"
                                 : multisample ? "%i : Found Multisample dependence %s"
                                               : "%i : Found Sample dependence %s";
            AppendLog(program, core::Format(format, site.logOffset, path.c_str()));
        } else {
            record.kind = DependencyKind::kSample;
            record.missing = true;
            const std::string line = core::Format(
                level2 ? "%i : Cannot find dependencies (levl 2) %s" : "%i : Cannot find dependencies %s",
                site.logOffset, path.c_str());
            AppendLog(program, line);
            core::DebugPrint("%s\n", line.c_str());
            found = false;
        }
    }

    record.duplicate = false;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].sourcePath == record.sourcePath) {
            record.duplicate = true;
            core::DebugPrint("Duplicate dependency: %s (same as %i)\n", record.sourcePath.c_str(), static_cast<int>(i));
        }
    }

    if (level2 && record.duplicate) {
        AppendLog(program, "-> This multisample already have this dependance\n");
        return found;
    }
    list.push_back(std::move(record));
    appended = true;
    return found;
}

}  // namespace

std::uint32_t FileChecksum(const std::string& path, ChecksumCache* cache, core::FileSource& files) {
    return cache != nullptr ? cache->FileCrc32(path, files) : files.Crc32(path);
}

std::uint32_t DependencyChecksum(const DependencyRecord& dependency, ChecksumCache* cache) {
    return dependency.crcPending ? FileChecksum(dependency.sourcePath, cache) : dependency.crc;
}

std::uint32_t ChecksumCache::FileCrc32(const std::string& path, core::FileSource& files) {
    // A file met before is looked at to see whether its checksum still holds; any other is
    // read once for its checksum and its stamp.
    if (Remembers(path)) {
        if (const auto stamp = files.Stat(path)) {
            if (const auto known = Known(path, *stamp)) {
                return *known;
            }
        }
    }
    const auto read = files.Crc32WithStamp(path);
    if (!read) {
        return 0xFFFFFFFFu;
    }
    // Only a file that did not change while it was read is remembered.
    if (read->steady && read->crc != 0xFFFFFFFFu) {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_[path] = Entry{read->stamp, read->crc};
    }
    return read->crc;
}

bool ChecksumCache::Remembers(const std::string& path) {
    if (shared_ != nullptr && shared_->entries_.count(path) != 0) {
        return true;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_.count(path) != 0;
}

std::optional<std::uint32_t> ChecksumCache::Known(const std::string& path, const core::FileStamp& stamp) {
    if (shared_ != nullptr) {
        if (const auto it = shared_->entries_.find(path); it != shared_->entries_.end() && it->second.stamp == stamp) {
            return it->second.crc;
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = entries_.find(path);
    if (it != entries_.end() && it->second.stamp == stamp) {
        return it->second.crc;
    }
    return std::nullopt;
}

void ChecksumCache::Remember(const std::string& path, const core::FileStamp& stamp, std::uint32_t crc) {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_[path] = Entry{stamp, crc};
}

void ChecksumCache::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.clear();
    loaded_.clear();
    ahead_.clear();
}

std::optional<std::uint32_t> ChecksumCache::LoadedNow(const std::string& path, const core::FileStamp& stamp) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = loaded_.find(path);
    return it != loaded_.end() && it->second.stamp == stamp ? std::optional<std::uint32_t>(it->second.crc) : std::nullopt;
}

void ChecksumCache::HoldLoaded(const std::string& path, const core::FileStamp& stamp, std::uint32_t crc) {
    std::lock_guard<std::mutex> lock(mutex_);
    loaded_[path] = Entry{stamp, crc};
}

void ChecksumCache::SettleLoaded(bool keep) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (keep) {
        for (auto& [path, entry] : loaded_) {
            entries_[path] = entry;
        }
    }
    loaded_.clear();
}

void ChecksumCache::HoldAhead(const std::string& path, core::HeadAndCrc32 read) {
    std::lock_guard<std::mutex> lock(mutex_);
    ahead_.insert_or_assign(path, std::move(read));
}

std::optional<core::HeadAndCrc32> ChecksumCache::TakeAhead(const std::string& path, const core::FileStamp& stamp) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = ahead_.find(path);
    if (it == ahead_.end() || !(it->second.checksum.stamp == stamp)) {
        return std::nullopt;
    }
    core::HeadAndCrc32 read = std::move(it->second);
    ahead_.erase(it);
    return read;
}

int ResolveDependencies(ProgramRecord& record, ChecksumCache* cache, core::FileSource& files, MultisampleMemo* memo) {
    core::DebugPrint("Search_Dependencies %s\n", record.sourcePath.c_str());
    if (record.type != kTypeSamples && record.type != kTypeDrums) {
        return -1;
    }
    const auto file = files.ReadWhole(record.sourcePath, core::kMaxWholeFileBytes);
    if (!file) {
        const auto stamp = files.Stat(record.sourcePath);
        if (stamp && static_cast<std::uint64_t>(stamp->size) > core::kMaxWholeFileBytes) {
            Warn(record, core::Format("%s: %lld bytes, more than a program can hold (%llu MiB): not loaded",
                                      record.sourcePath.c_str(), static_cast<long long>(stamp->size),
                                      static_cast<unsigned long long>(core::kMaxWholeFileBytes >> 20)));
            return kUnusableProgram;
        }
        return 1;
    }
    const auto counts = formats::ReadChunkCounts(*file);
    if (!counts) {
        Warn(record, formats::ProgramMessage(formats::ProgramResult::kNoCounts, record.sourcePath));
        return 1;
    }
    // Where the voice area must end: after the last oscillator's record, or the last drum zone.
    const std::uint64_t voiceEnd =
        record.type == kTypeSamples
            ? formats::OscillatorBlockOffset(*counts, formats::kOscillators - 1) + formats::kOscillatorReference +
                  formats::kReferenceSize
            : formats::DrumZoneOffsetIn(*counts, formats::kDrumOscillators - 1, formats::kDrumZonesPerOscillator - 1) +
                  formats::kDrumZoneSize;
    if (voiceEnd > file->size()) {
        Warn(record, core::Format("%s: offset %llu (voice area): the chunk counts (%u, %u, %u, %u) put its end past "
                                  "the end of the file (%zu bytes); the references beyond are not read",
                                  record.sourcePath.c_str(), static_cast<unsigned long long>(counts->voiceAreaOffset()),
                                  counts->mods, counts->envelopes, counts->lfos, counts->patterns, file->size()));
    }
    record.chunkCounts = {counts->mods, counts->envelopes, counts->lfos, counts->patterns};
    const std::string directory = core::PathDirectory(record.sourcePath);
    const bool samples = record.type == kTypeSamples;
    if (samples) {
        for (std::size_t n = 0; n < formats::kOscillators; ++n) {
            record.oscillatorOffsets[n] = static_cast<std::int32_t>(formats::OscillatorBlockOffset(*counts, n));
        }
    }

    bool missing = false;
    for (const formats::ReferenceSite& found :
         samples ? formats::OscillatorSites(*file, *counts) : formats::DrumZoneSites(*file, *counts)) {
        if (!found.reference) {
            continue;
        }
        if (samples) {
            core::DebugPrint("offset %i (osc enable = %x)\n", static_cast<int>(found.siteOffset),
                             found.enabled ? 1u : 0u);
        }
        if (!found.enabled) {
            continue;
        }
        ReferenceSite site{Level::kProgram,
                           samples ? DependencyKind::kMultisample : DependencyKind::kSample,
                           *found.reference,
                           0,
                           static_cast<std::int32_t>(found.recordOffset),
                           static_cast<std::int32_t>(found.siteOffset),
                           directory};
        bool appended = false;
        missing |= !ResolveReference(record, record.dependencies, site, cache, files, appended);
        if (appended && samples) {
            ResolveMultisampleSamples(record, record.dependencies.size() - 1, cache, files, memo);
        }
    }
    return missing ? -10 : 1;
}

namespace {

// Resolves the samples `multisample` names, logging to `logTo`; `samples` is set where the
// program's record takes them.
int ResolveSamplesOf(ProgramRecord& logTo, const DependencyRecord& multisample,
                     std::optional<std::vector<DependencyRecord>>& samples, ChecksumCache* cache,
                     core::FileSource& files) {
    core::DebugPrint("Search Multisample Dependencies %s\n", multisample.sourcePath.c_str());
    const auto file = files.ReadWhole(multisample.sourcePath, core::kMaxWholeFileBytes);
    if (!file) {
        return 1;
    }
    const formats::MultisampleContents contents = formats::ReadMultisample(*file);
    if (file->size() < 4 || std::memcmp(file->data(), formats::kMultisampleMagic, 4) != 0) {
        Warn(logTo, core::Format("%s: offset 0 (magic): not \"%s\"", multisample.sourcePath.c_str(),
                                 formats::kMultisampleMagic));
    }
    if (contents.result != formats::MultisampleResult::kDone) {
        Warn(logTo, formats::MultisampleMessage(contents.result, multisample.sourcePath, contents.problemOffset));
        core::DebugPrint("%s\n", formats::MultisampleMessage(contents.result, multisample.sourcePath,
                                                              contents.problemOffset).c_str());
    }
    const std::size_t n = contents.declaredCount;
    AppendLog(logTo, core::Format("Found %i samples dependances\n", static_cast<int>(n)));
    if (n == 0) {
        return 1;
    }
    const std::string directory = core::PathDirectory(multisample.sourcePath);
    const std::int32_t parentVolume = multisample.volumeNumber;
    bool missing = false;
    std::vector<DependencyRecord> resolved;
    for (const formats::MultisampleEntryView& entry : contents.entries) {
        ReferenceSite site{Level::kMultisample,
                           DependencyKind::kSample,
                           entry.reference,
                           parentVolume,
                           static_cast<std::int32_t>(entry.offset),
                           static_cast<std::int32_t>(entry.offset),
                           directory};
        bool appended = false;
        missing |= !ResolveReference(logTo, resolved, site, cache, files, appended);
    }
    samples = std::move(resolved);
    return missing ? -10 : 1;
}

// A resolution's log replayed whole is the same as entry by entry only while nothing is
// dropped; after a drop AppendLog leaves at least this much, so a shorter log had none.
constexpr std::size_t kLogAfterDrop = kMaxLogLength - 1 - kLogDropLength;

}  // namespace

const MultisampleMemo::Entry* MultisampleMemo::Find(const std::string& path, std::int32_t volume) const {
    const auto it = entries_.find(path + '\n' + std::to_string(volume));
    return it == entries_.end() ? nullptr : &it->second;
}

const MultisampleMemo::Entry& MultisampleMemo::Keep(const std::string& path, std::int32_t volume, Entry entry) {
    return entries_.insert_or_assign(path + '\n' + std::to_string(volume), std::move(entry)).first->second;
}

int ResolveMultisampleSamples(ProgramRecord& record, std::size_t index, ChecksumCache* cache,
                              core::FileSource& files, MultisampleMemo* memo) {
    if (index >= record.dependencies.size()) {
        return 0;
    }
    // Resolved apart from the program's list: appending to it could move `multisample`.
    const DependencyRecord& multisample = record.dependencies[index];
    if (multisample.volumeNumber < 1 || multisample.kind != DependencyKind::kMultisample) {
        return 0;
    }
    const MultisampleMemo::Entry* known = memo != nullptr ? memo->Find(multisample.sourcePath, multisample.volumeNumber) : nullptr;
    if (memo != nullptr && known == nullptr) {
        ProgramRecord scratch;
        MultisampleMemo::Entry entry;
        entry.result = ResolveSamplesOf(scratch, multisample, entry.samples, cache, files);
        entry.log = std::move(scratch.log);
        if (entry.log.size() < kLogAfterDrop) {
            known = &memo->Keep(multisample.sourcePath, multisample.volumeNumber, std::move(entry));
        }
    }
    if (known != nullptr && record.log.size() + known->log.size() <= kMaxLogLength - 1) {
        record.log += known->log;
        if (known->samples) {
            record.dependencies[index].samples = *known->samples;
        }
        return known->result;
    }
    std::optional<std::vector<DependencyRecord>> samples;
    const int result = ResolveSamplesOf(record, multisample, samples, cache, files);
    if (samples) {
        record.dependencies[index].samples = std::move(*samples);
    }
    return result;
}

}  // namespace velmorant::volume
