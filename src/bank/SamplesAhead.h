#pragma once

#include <span>
#include <string>

#include "bank/Bank.h"

namespace velmorant::bank {

// For a caller that shows every checksum (it loads with ChecksumAtLoad): reads every sample
// the programs at `paths` need, whole, on two threads, and holds each head and checksum in
// `bank.checksums` for the load that follows. On one core the checksum costs about a fifth
// more than the read itself; the load then reads no sample again. What it logs and finds is
// the same as without: a file that changed meanwhile is simply read again.
void ReadSamplesAhead(Bank& bank, std::span<const std::string> paths);

}  // namespace velmorant::bank
