#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "volume/ProgramRecord.h"

namespace velmorant::volume {
class ChecksumCache;
}

namespace velmorant::volume {

// One row of a program's dependency table: its texts in column order and the kind
// (ROM, sample, multisample) that picks the row's icon.
struct DependencyRow {
    DependencyKind kind = DependencyKind::kSample;
    std::string name;
    std::string sizeKb;    // whole kilobytes plus one, so even an empty file shows 1
    std::string bank;      // a multisample's sample: trimmed, " (Relative)" when its folder was implied
    std::string path;
    std::string multiple;  // 1 when the file is already listed for this program
    std::string crc;       // lower-case hexadecimal, no leading zeros
};

// Each dependency followed directly by its own (a multisample's samples), in list order.
// A checksum loading left pending is read here, through `cache` when given.
std::vector<DependencyRow> DependencyRows(const ProgramRecord& record, ChecksumCache* cache = nullptr);

}  // namespace velmorant::volume
