#pragma once

#include <string>
#include <vector>

#include "doctor/Report.h"

namespace velmorant::doctor {

struct CheckOptions {
    std::string volume;
    // Only these bank folders; volume-wide findings (orphans, unlisted banks) are then left out.
    std::vector<std::string> banks;
    unsigned threads = 2;  // sample files are read on this many threads
};

// Walks every bank of the volume, loads each program as an import of its bank would, and
// reports what would not load and what is worth fixing. Never throws for a malformed file:
// each one is a finding.
Report CheckVolume(const CheckOptions& options);

}  // namespace velmorant::doctor
