#include "bank/SamplesAhead.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <vector>

#include "core/Parallel.h"
#include "formats/SampleFile.h"

namespace velmorant::bank {

namespace {

// The sample files a loaded program needs, found where its load found them.
void CollectSamples(const volume::ProgramRecord& record, std::vector<std::string>& paths) {
    const auto add = [&](const volume::DependencyRecord& d) {
        if (d.kind == volume::DependencyKind::kSample && !d.missing && !d.duplicate) {
            paths.push_back(d.sourcePath);
        }
    };
    for (const volume::DependencyRecord& dependency : record.dependencies) {
        add(dependency);
        for (const volume::DependencyRecord& sample : dependency.samples) {
            add(sample);
        }
    }
}

}  // namespace

void ReadSamplesAhead(Bank& bank, std::span<const std::string> paths) {
    // The programs are resolved once without reading any sample whole, in a bank of their own.
    auto scratch = std::make_unique<Bank>();
    scratch->files = bank.files;
    std::vector<std::string> samples;
    for (const std::string& path : paths) {
        const AddResult added = AddProgram(*scratch, -1, path);
        if (const auto slot = added.slot ? added.slot : added.loadedSlot) {
            CollectSamples(scratch->slots[static_cast<std::size_t>(*slot)], samples);
        }
    }
    std::sort(samples.begin(), samples.end());
    samples.erase(std::unique(samples.begin(), samples.end()), samples.end());
    core::FileSource& files = *bank.files;
    core::RunInParallel(samples.size(), 2, [&](std::size_t i) {
        try {
            auto read = files.ReadHeadAndCrc32(samples[i], formats::kSampleHeaderSize);
            // Only a read of a file that stayed as it was is worth holding.
            if (read && read->checksum.steady && read->checksum.crc != 0xFFFFFFFFu) {
                bank.checksums.HoldAhead(samples[i], std::move(*read));
            }
        } catch (const std::exception&) {
            // Left to the load, which reads it again and reports what fails.
        }
    });
}

}  // namespace velmorant::bank
