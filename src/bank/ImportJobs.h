#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bank/Bank.h"
#include "bank/ResultMessages.h"
#include "platform/Platform.h"

namespace velmorant::bank {

// What one import job did, for callers that report more than the job's result.
struct ImportOutcome {
    bool cancelled = false;    // the chooser was cancelled; nothing was tried
    bool stopped = false;      // a stopping code ended the job
    bool interrupted = false;  // Cancel was pressed; the programs placed before it stay
    std::optional<ResultBox> stopCode;  // that code
    int skipped = 0;           // boxes that let the job go on (programs skipped, short bank.txt)
    std::vector<int> placed;   // slots filled, in order
    std::string bankIndex;     // the bank.txt chosen by Import Bank
};

// Told of each program as soon as it is in its slot, on the job's thread.
using PlacedCallback = std::function<void(int slot)>;

// Import Programs: the .afp files go into the bank, each searching for a free slot from
// startSlot (-1: from A1), each taking its categories from the bank.txt beside it.
// Always 0.
int ImportPrograms(platform::Platform& platform, Bank& bank, const std::vector<std::string>& paths, int startSlot,
                   ImportOutcome* outcome = nullptr, const PlacedCallback& onPlaced = {});

// Import Bank: every program the bank.txt at indexPath lists, from that bank.txt's folder,
// with the categories of its line. 0 when the job ran to its end, -1 when it stopped on a
// stopping code.
int ImportBank(platform::Platform& platform, Bank& bank, const std::string& indexPath, int startSlot,
               ImportOutcome* outcome = nullptr, const PlacedCallback& onPlaced = {});

// The menu commands: the platform's chooser, then the job above. A cancelled chooser
// tries nothing and returns 0.
int ImportProgramsCommand(platform::Platform& platform, Bank& bank, int startSlot, ImportOutcome* outcome = nullptr,
                          const PlacedCallback& onPlaced = {});
int ImportBankCommand(platform::Platform& platform, Bank& bank, int startSlot, ImportOutcome* outcome = nullptr,
                      const PlacedCallback& onPlaced = {});

}  // namespace velmorant::bank
