#include "bank/ImportJobs.h"

#include <algorithm>
#include <optional>
#include <string>

#include "bank/BankIndex.h"
#include "bank/ResultMessages.h"
#include "core/Debug.h"
#include "core/File.h"
#include "core/FileNames.h"
#include "core/Path.h"
#include "core/Text.h"

namespace velmorant::bank {
namespace {

// One failure: its box, and the window brought back when the job goes on. True to stop.
bool ReportFailure(platform::Platform& platform, platform::ProgressWindow& window, ResultBox code,
                   const std::string& path, ImportOutcome& outcome) {
    if (ShowResultMessage(platform, code, path)) {
        outcome.stopped = true;
        outcome.stopCode = code;
        return true;
    }
    outcome.skipped += 1;
    window.BringToFront();
    return false;
}

// A name listed in a bank.txt names a file of that bank's own folder; one that
// holds a separator would reach into another folder.
bool NamesFileInFolder(const std::string& name) {
    return name.find('/') == std::string::npos && name.find('\\') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

// The chosen files, or nullopt when the chooser was cancelled or returned none.
std::optional<std::vector<std::string>> ChooseFiles(platform::Platform& platform, const char* title,
                                                    platform::FileFilter filter, bool multiple) {
    platform::OpenFileRequest request;
    request.title = title;
    request.filters = {std::move(filter), {"All files", "*.*"}};
    request.multiple = multiple;
    auto chosen = platform.ChooseOpenFiles(request);
    if (chosen && chosen->empty()) {
        chosen.reset();
    }
    return chosen;
}

// A program in its slot: recorded, and the caller told while the job goes on.
void Placed(int slot, ImportOutcome& outcome, const PlacedCallback& onPlaced) {
    outcome.placed.push_back(slot);
    if (onPlaced) {
        onPlaced(slot);
    }
}

// Asked between programs, so a cancelled import keeps every program it placed whole.
bool Interrupted(platform::ProgressWindow& window, ImportOutcome& outcome) {
    if (window.CancelRequested()) {
        outcome.interrupted = true;
    }
    return outcome.interrupted;
}

int Cancelled(ImportOutcome* outcome) {
    if (outcome != nullptr) {
        *outcome = ImportOutcome{};
        outcome->cancelled = true;
    }
    return 0;
}

}  // namespace

int ImportPrograms(platform::Platform& platform, Bank& bank, const std::vector<std::string>& paths, int startSlot,
                   ImportOutcome* outcomeOut, const PlacedCallback& onPlaced) {
    ImportOutcome outcome;
    if (paths.empty()) {
        return Cancelled(outcomeOut);
    }
    auto window = platform.StartProgressWindow(false);
    window->SetTitle("Importing Programs");
    const auto count = static_cast<std::uint32_t>(paths.size());
    if (count > 1) {
        window->SetRange(count);
        window->OfferCancel();
    }
    for (std::size_t k = 0; k < paths.size() && !Interrupted(*window, outcome); ++k) {
        const std::string& path = paths[k];
        window->SetStatus(core::Format("Loading %s", core::PathFileName(path).c_str()));
        if (count == 1) {
            window->SetRange(1);
        }
        const AddResult result = AddProgram(bank, startSlot, path);
        bool stop = false;
        if (result.slot) {
            FindProgramCategories(bank.slots[static_cast<std::size_t>(*result.slot)]);
            Placed(*result.slot, outcome, onPlaced);
        } else {
            stop = ReportFailure(platform, *window, ProgramResultBox(result.failure), path, outcome);
        }
        window->SetPosition(static_cast<std::int32_t>(k + 1));
        if (stop) {
            break;
        }
    }
    window->Close();
    if (outcomeOut != nullptr) {
        *outcomeOut = std::move(outcome);
    }
    return 0;
}

int ImportBank(platform::Platform& platform, Bank& bank, const std::string& indexPath, int startSlot,
               ImportOutcome* outcomeOut, const PlacedCallback& onPlaced) {
    ImportOutcome outcome;
    auto finish = [&](int result) {
        if (outcomeOut != nullptr) {
            *outcomeOut = std::move(outcome);
        }
        return result;
    };

    auto window = platform.StartProgressWindow(false);
    window->SetTitle("Importing Bank.txt");
    window->SetStatus("Loading Bank.txt file");

    BankIndex index;
    formats::BankTxtResult read = ReadBankIndex(index, indexPath);
    // A negative count loads nothing, as it always did, but is as wrong a count as one above
    // the names listed, and is told the same way.
    if (read == formats::BankTxtResult::kValid && index.announcedCount < 0) {
        read = formats::BankTxtResult::kTooFewNames;
    }
    if (read != formats::BankTxtResult::kValid) {
        const ResultBox code = *IndexResultBox(read);
        if (ShowResultMessage(platform, code, indexPath)) {
            outcome.stopped = true;
            outcome.stopCode = code;
            window->Close();
            return finish(-1);
        }
        outcome.skipped += 1;
    }
    window->BringToFront();
    const std::string folder = core::PathDirectory(core::AbsolutePath(indexPath));

    // The reader promises entries up to the item count; a negative count loads nothing.
    const std::int32_t count = std::clamp<std::int32_t>(index.itemCount, 0,
                                                        static_cast<std::int32_t>(index.entries.size()));
    window->SetRange(static_cast<std::uint32_t>(count));
    window->OfferCancel();
    for (std::int32_t i = 0; i < count && !Interrupted(*window, outcome); ++i) {
        const BankIndexEntry& entry = index.entries[static_cast<std::size_t>(i)];
        const std::string path = core::FindNamedFile(folder, entry.name, ".afp");
        window->SetStatus(core::Format(" %i/%i - Open Program : %s", i, count, entry.name.c_str()));
        window->SetPosition(i);
        const AddResult result = NamesFileInFolder(entry.name) ? AddProgram(bank, startSlot, path)
                                                               : AddResult::Refused(AddFailure::kCannotOpen);
        if (result.slot) {
            bank.slots[static_cast<std::size_t>(*result.slot)].categories =
                core::CutText(entry.categories, volume::kMaxCategoriesLength);
            Placed(*result.slot, outcome, onPlaced);
        } else if (ReportFailure(platform, *window, ProgramResultBox(result.failure), path, outcome)) {
            window->Close();
            return finish(-1);
        }
    }
    window->Close();
    return finish(0);
}

int ImportProgramsCommand(platform::Platform& platform, Bank& bank, int startSlot, ImportOutcome* outcome,
                          const PlacedCallback& onPlaced) {
    const auto chosen = ChooseFiles(platform, "Import Programs", {"Alesis Fusion Program files (.afp)", "*.afp"}, true);
    if (!chosen) {
        core::DebugPrint("No");
        return Cancelled(outcome);
    }
    return ImportPrograms(platform, bank, *chosen, startSlot, outcome, onPlaced);
}

int ImportBankCommand(platform::Platform& platform, Bank& bank, int startSlot, ImportOutcome* outcome,
                      const PlacedCallback& onPlaced) {
    const auto chosen = ChooseFiles(platform, "Import Bank", {"Alesis Bank file (.txt)", "*.txt"}, false);
    if (!chosen) {
        return Cancelled(outcome);
    }
    if (outcome != nullptr) {
        outcome->bankIndex = chosen->front();
    }
    return ImportBank(platform, bank, chosen->front(), startSlot, outcome, onPlaced);
}

}  // namespace velmorant::bank
