#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "doctor/Report.h"

namespace velmorant::doctor {

struct CheckOptions {
    std::string volume;
    // Only these bank folders; volume-wide findings (orphans, unlisted banks) are then left out.
    std::vector<std::string> banks;
    unsigned threads = 2;  // sample files are read on this many threads
    // Told after each sample file read and each bank walked, one call at a time from whichever
    // thread did the step; returning false stops the check at its next file or bank, and the
    // report is then marked stopped.
    std::function<bool(std::string_view step, std::size_t done, std::size_t total)> progress;
};

// Walks every bank of the volume, loads each program as an import of its bank would, and
// reports what would not load and what is worth fixing. Never throws for a malformed file:
// each one is a finding.
Report CheckVolume(const CheckOptions& options);

}  // namespace velmorant::doctor
