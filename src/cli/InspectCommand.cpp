#include "cli/InspectCommand.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>
#include <ostream>

#include "bank/Bank.h"
#include "bank/BankIndex.h"
#include "bank/ResultMessages.h"
#include "bank/SamplesAhead.h"
#include "cli/ProgramReport.h"
#include "core/Encoding.h"
#include "core/Text.h"
#include "volume/Summary.h"

namespace velmorant::cli {
namespace {

// The message of a program-level failure.
std::string FailureText(bank::AddFailure failure, const std::string& path) {
    return bank::ResultMessageText(bank::ProgramResultBox(failure), path);
}

}  // namespace

std::string InspectCommand::description() const {
    return "Load program files into a fresh bank and show each one's summary, dependencies and log";
}

void InspectCommand::setup(CLI::App& subcommand) {
    subcommand.add_flag("--json", json_, "Print {\"programs\":[...]} instead of text");
    subcommand.add_option("PROGRAM", files_, "Program files (.afp)")->required();
    subcommand.footer("Exit status: 0 every program loaded, 1 some program failed, 2 usage error.");
}

int InspectCommand::run(CommandIo& io) {
    bank::Bank bank;
    // Every checksum is shown, so each sample is read once: ahead, on two threads.
    bank.checksums.ChecksumAtLoad(true);
    bank::ReadSamplesAhead(bank, files_);
    nlohmann::json programs = nlohmann::json::array();
    bool anyFailed = false;

    for (const std::string& path : files_) {
        const bank::AddResult result = bank::AddProgram(bank, -1, path);
        const volume::ProgramRecord* record = nullptr;
        if (result.slot) {
            record = &bank.slots[static_cast<std::size_t>(*result.slot)];
            bank::FindProgramCategories(bank.slots[static_cast<std::size_t>(*result.slot)]);
            volume::BuildProgramSummary(bank.slots[static_cast<std::size_t>(*result.slot)]);
        } else {
            anyFailed = true;
            io.err << core::TerminalText(FailureText(result.failure, path)) << "\n";
            if (result.loadedSlot) {
                record = &bank.slots[static_cast<std::size_t>(*result.loadedSlot)];
            }
        }
        // A shown program's checksums are known to the next program as they were before.
        bank.checksums.SettleLoaded(record != nullptr);

        if (json_) {
            nlohmann::json json = record != nullptr ? ProgramToJson(*record, &bank.checksums) : nlohmann::json::object();
            json["path"] = core::PathToUtf8(path);
            json["result"] = bank::AddResultNumber(result);
            json["slot"] = result.slot ? nlohmann::json(bank::SlotLabel(*result.slot)) : nlohmann::json(nullptr);
            if (record == nullptr) {
                // Nothing was read: the keys are still there, so scripts need no special case.
                for (const char* key : {"name", "type", "typeName", "categories", "summary", "fileSize", "chunks", "log"}) {
                    json[key] = nullptr;
                }
                json["dependencies"] = nlohmann::json::array();
            }
            programs.push_back(std::move(json));
            continue;
        }

        io.out << "== " << core::TerminalText(path) << "\n";
        if (result.slot) {
            io.out << "Slot: " << bank::SlotLabel(*result.slot) << " - " << core::TerminalText(record->programName) << "\n";
        } else {
            io.out << "Failed: " << core::TerminalText(FailureText(result.failure, path)) << "\n";
        }
        if (record != nullptr) {
            io.out << ProgramText(*record, result.placed(), &bank.checksums);
        }
        io.out << "\n";
    }

    if (json_) {
        io.out << nlohmann::json{{"programs", std::move(programs)}}.dump(2) << "\n";
    }
    return anyFailed ? kExitFailed : kExitOk;
}

}  // namespace velmorant::cli
