#include "cli/BankCommand.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>

#include "bank/Bank.h"
#include "bank/ImportJobs.h"
#include "bank/SlotPanels.h"
#include "bank/TypedName.h"
#include "core/Encoding.h"
#include "core/File.h"
#include "core/Terminal.h"
#include "core/Text.h"
#include "export/ExportBank.h"
#include "platform/ConsolePlatform.h"

namespace velmorant::cli {
namespace {

using Kind = BankCommand::OperationKind;

struct OperationRow {
    const char* option;
    Kind kind;
    const char* typeName;
    const char* help;
};

// The ordered operations, as --help lists them.
constexpr OperationRow kOperations[] = {
    {"--start", Kind::kStart, "SLOT|none", "Start slot (A1..P8) of later imports; none (the default) starts at A1"},
    {"--import", Kind::kImport, "FILE.afp", "Import one program file (its categories from the bank.txt beside it)"},
    {"--import-bank", Kind::kImportBank, "BANKTXT", "Import every program a bank.txt lists, with its categories"},
    {"--rename", Kind::kRename, "SLOT=NAME", "Rename the program in SLOT (at most 32 characters, / \\ : * ? \" < > | "
                                             "become _)"},
    {"--remove", Kind::kRemove, "SLOT", "Empty SLOT"},
    {"--swap", Kind::kSwap, "SLOT=SLOT", "Switch the contents of two slots"},
    {"--categories", Kind::kCategories, "SLOT=LETTERS",
     "Set the categories of the program in SLOT: letters A..P, the first one the main category; empty for none"},
};

// One operation checked and decoded before anything runs.
struct Step {
    Kind kind;
    std::string option;
    int slot = -1;
    int otherSlot = -1;
    std::string text;
    std::string note;  // what the sanitising changed in a new name
};

std::optional<int> ParseSlot(std::string_view text) {
    const int slot = bank::SlotFromLabel(text);
    if (slot < 0) {
        return std::nullopt;
    }
    return slot;
}

bool SplitAtEquals(const std::string& value, std::string& left, std::string& right) {
    const std::size_t at = value.find('=');
    if (at == std::string::npos) {
        return false;
    }
    left = value.substr(0, at);
    right = value.substr(at + 1);
    return true;
}

// Choosers hand jobs full paths; the command line may give relative ones.
std::string FullPath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(core::NativePath(path), ec);
    return ec ? path : core::PathText(full);
}

// The step, or an error message for the usage error.
std::optional<Step> Decode(const BankCommand::Operation& operation, std::string& error) {
    Step step{operation.kind, operation.option, -1, -1, {}, {}};
    const std::string& value = operation.value;
    std::string left;
    std::string right;
    switch (operation.kind) {
        case Kind::kStart:
            if (value == "none" || value == "NONE") {
                return step;
            }
            if (auto slot = ParseSlot(value)) {
                step.slot = *slot;
                return step;
            }
            error = "'" + value + "' is not a slot (A1..P8) or none";
            return std::nullopt;
        case Kind::kImport:
        case Kind::kImportBank:
            if (value.empty()) {
                error = "the file name is empty";
                return std::nullopt;
            }
            step.text = FullPath(value);
            return step;
        case Kind::kRemove:
            if (auto slot = ParseSlot(value)) {
                step.slot = *slot;
                return step;
            }
            error = "'" + value + "' is not a slot (A1..P8)";
            return std::nullopt;
        case Kind::kRename:
        case Kind::kCategories:
        case Kind::kSwap: {
            const char* shape = operation.kind == Kind::kRename ? "SLOT=NAME"
                                : operation.kind == Kind::kSwap ? "SLOT=SLOT"
                                                                : "SLOT=LETTERS";
            auto slot = SplitAtEquals(value, left, right) ? ParseSlot(left) : std::nullopt;
            if (!slot) {
                error = "'" + value + "' is not " + shape;
                return std::nullopt;
            }
            step.slot = *slot;
            if (operation.kind == Kind::kSwap) {
                auto other = ParseSlot(right);
                if (!other) {
                    error = "'" + value + "' is not SLOT=SLOT";
                    return std::nullopt;
                }
                step.otherSlot = *other;
            } else if (operation.kind == Kind::kRename) {
                bank::RenameCheck check = bank::CheckRename(right);
                if (!check.name) {
                    error = check.refusal;
                    return std::nullopt;
                }
                // An empty name would be written to bank.txt as an empty slot's line.
                if (check.name->empty()) {
                    error = "the new name is empty";
                    return std::nullopt;
                }
                step.text = std::move(*check.name);
                step.note = std::move(check.changes);
            } else if (auto letters = bank::NormaliseCategoryLetters(right)) {
                step.text = std::move(*letters);
            } else {
                error = "'" + right + "' holds a character that is not a category letter A..P";
                return std::nullopt;
            }
            return step;
        }
        case Kind::kExport:
            if (value.empty()) {
                error = "the destination folder is empty";
                return std::nullopt;
            }
            step.text = FullPath(value);
            return step;
    }
    error = "unknown operation";
    return std::nullopt;
}

using ExportRequest = BankCommand::ExportRequest;

// Prints what the export would do; the exit status of the export it previews: 1 when it would
// be refused or leave a program out.
int PreviewPlan(platform::Platform& platform, bank::Bank& bank, exporting::ExportOptions& options,
                const ExportRequest& request, CommandIo& io) {
    exporting::ExportPlan plan;
    if (exporting::PreviewExport(platform, bank, options, plan) != exporting::kExportFinished) {
        return kExitFailed;
    }
    io.out << (request.json ? exporting::PlanJson(plan) : core::TerminalText(exporting::PlanText(plan)));
    bool leftOut = false;
    for (const auto& program : plan.programs) {
        leftOut = leftOut || program.refusal != 0;
    }
    const std::vector<std::string> replaced = plan.Replaced();
    if (!replaced.empty() && !request.replace) {
        io.err << "velmorant-cli bank: --export: " << replaced.size()
               << " files of yours have other contents there; the export replaces them only with --replace\n";
    }
    return leftOut || !plan.SpaceProblem().empty() || (!replaced.empty() && !request.replace) ? kExitFailed : kExitOk;
}

// Runs the export job on the bank (or, with --dry-run, prints its plan); the exit status it calls for.
int RunExport(platform::Platform& platform, bank::Bank& bank, const ExportRequest& request, CommandIo& io) {
    std::ostream& err = io.err;
    exporting::ExportOptions options = exporting::DefaultExportOptions(request.destination);
    options.bankName = request.bankName;
    options.folderOption = request.folders == "source" ? exporting::kSameAsSource : exporting::kBankNamedFolder;
    options.referenceOption = request.refs == "absolute" ? exporting::kAbsolutePaths : exporting::kRelativePaths;
    options.replaceExisting = request.replace;
    options.registerBank = request.registerBank;
    options.accepted = true;
    if (request.dryRun) {
        return PreviewPlan(platform, bank, options, request, io);
    }

    // What the export adds to each log is what tells why a program was not written.
    std::array<std::size_t, bank::kSlotCount> logLength{};
    for (std::size_t i = 0; i < bank.slots.size(); ++i) {
        logLength[i] = bank.slots[i].log.size();
    }
    exporting::ExportOutcome outcome;
    const int result = exporting::ExportBank(platform, bank, options, &outcome);
    if (result != exporting::kExportFinished && result != exporting::kExportIncomplete) {
        return kExitFailed;  // the box already told why
    }
    for (const auto& program : outcome.programs) {
        if (program.result >= 0) {
            continue;
        }
        const std::string& log = bank.slots[static_cast<std::size_t>(program.slot)].log;
        const std::size_t from = std::min(logLength[static_cast<std::size_t>(program.slot)], log.size());
        err << "velmorant-cli bank: --export: " << bank::SlotLabel(program.slot) << " "
            << core::TerminalText(core::Cp1252ToUtf8(program.name)) << " was not exported:\n"
            << core::TerminalText(log.substr(from));
    }
    return result != exporting::kExportFinished || outcome.failures() > 0 ? kExitFailed : kExitOk;
}

void PrintSlots(const bank::Bank& bank, std::ostream& out) {
    for (const volume::ProgramRecord& record : bank.slots) {
        out << record.slotLetter << record.slotNumber << " -";
        if (record.defined) {
            out << ' ' << core::TerminalText(core::Cp1252ToUtf8(record.programName));
        }
        out << '\n';
    }
}

void PrintSlotsJson(const bank::Bank& bank, std::ostream& out) {
    nlohmann::ordered_json slots = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < bank.slots.size(); ++i) {
        const volume::ProgramRecord& record = bank.slots[i];
        slots.push_back({{"slot", bank::SlotLabel(static_cast<int>(i))},
                         {"defined", record.defined},
                         {"name", core::Cp1252ToUtf8(record.programName)},
                         {"path", core::PathToUtf8(record.sourcePath)},
                         {"type", record.type},
                         {"categories", core::Cp1252ToUtf8(record.categories)}});
    }
    const nlohmann::ordered_json document{{"slots", std::move(slots)}};
    out << document.dump(2) << '\n';
}

}  // namespace

std::string BankCommand::description() const {
    return "Build a bank by importing programs and banks and arranging slots, then print it";
}

void BankCommand::setup(CLI::App& subcommand) {
    subcommand.add_flag("--json", json_,
                        "Print {\"slots\":[{\"slot\",\"defined\",\"name\",\"path\",\"type\",\"categories\"}...]} "
                        "instead of the 128 slot lines");
    // CLI11 gathers options by name; each callback fires as its option is parsed, which
    // keeps the command-line order the operations must run in.
    for (const OperationRow& layout : kOperations) {
        const Kind kind = layout.kind;
        const std::string option = layout.option;
        subcommand
            .add_option_function<std::string>(
                layout.option, [this, kind, option](const std::string& value) {
                    operations_.push_back({kind, option, value});
                },
                layout.help)
            ->type_name(layout.typeName)
            ->trigger_on_parse()
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    }
    subcommand
        .add_option_function<std::string>(
            "--export", [this](const std::string& value) { operations_.push_back({Kind::kExport, "--export", value}); },
            "After the operations, export the bank into the volume whose root folder is DEST (it must exist)")
        ->type_name("DEST")
        ->trigger_on_parse()
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->group("Export");
    subcommand.add_option("--bank-name", export_.bankName, "Name of the exported bank: Programs/NAME of DEST")
        ->type_name("NAME")
        ->group("Export");
    subcommand
        .add_option("--folders", export_.folders,
                    "bank: copies go into Multisamples/NAME and Samples/NAME (default); source: into folders "
                    "named like their source folders, with absolute references")
        ->check(CLI::IsMember({"bank", "source"}).description(""))
        ->type_name("bank|source")
        ->group("Export");
    subcommand
        .add_option("--refs", export_.refs,
                    "relative: references name no folder (default); absolute: they name the copy's folder")
        ->check(CLI::IsMember({"relative", "absolute"}).description(""))
        ->type_name("relative|absolute")
        ->group("Export");
    subcommand
        .add_flag("--replace", export_.replace,
                  "Replace program files and bank.txt that already exist with other contents, keeping the old "
                  "ones as NAME.bak; without it the export lists them and writes nothing")
        ->group("Export");
    subcommand
        .add_flag("--register", export_.registerBank,
                  "Add the bank to DEST's own list, Programs/bank.txt (the old list is kept as bank.txt.bak)")
        ->group("Export");
    subcommand
        .add_flag("--dry-run", export_.dryRun,
                  "Print what the export would do (each file copied, reused or numbered and why, each reference "
                  "rewritten, the bytes to write and the free space) and write nothing; --json prints it as JSON")
        ->group("Export");
    subcommand.footer(
        "Operations run in command-line order on one bank held in memory; --export runs after all of them. Each "
        "message box is printed on standard error as \"Title: text\"; then the bank is printed as 128 lines "
        "\"A1 - Name\" (\"A1 -\" when empty).\n"
        "Exit status: 0 done; 1 some program was skipped (or a bank.txt lists fewer names than it announces), or "
        "the export was refused or left a program out; 3 a job stopped (earlier operations stay applied, later ones "
        "and the export are not run); 2 usage error.");
}

int BankCommand::run(CommandIo& io) {
    if (operations_.empty()) {
        io.err << "velmorant-cli bank: give at least one operation (see --help)\n";
        return kExitUsage;
    }
    std::vector<Step> steps;
    std::optional<std::string> exportDestination;
    for (const Operation& operation : operations_) {
        std::string error;
        auto step = Decode(operation, error);
        if (step && step->kind == Kind::kExport && exportDestination) {
            error = "give one destination only";
            step.reset();
        }
        if (!step) {
            io.err << "velmorant-cli bank: " << operation.option << ": " << error << "\n";
            return kExitUsage;
        }
        if (step->kind == Kind::kExport) {
            exportDestination = step->text;
        }
        steps.push_back(std::move(*step));
    }
    if (!exportDestination &&
        (!export_.bankName.empty() || !export_.folders.empty() || !export_.refs.empty() || export_.replace ||
         export_.registerBank || export_.dryRun)) {
        io.err << "velmorant-cli bank: --bank-name, --folders, --refs, --replace, --register and --dry-run go with "
                  "--export\n";
        return kExitUsage;
    }
    std::string bankName;
    if (!export_.bankName.empty()) {
        std::string refusal;
        std::optional<std::string> typed = bank::TypedText(export_.bankName, refusal);
        if (!typed) {
            io.err << "velmorant-cli bank: --bank-name: " << refusal << "\n";
            return kExitUsage;
        }
        bankName = std::move(*typed);
    }

    platform::ConsoleOptions options;
    if (&io.err == &std::cerr && core::StandardErrorIsTerminal()) {
        options.progress = platform::ProgressDisplay::kLine;
    }
    platform::ConsolePlatform platform(io.err, options);
    bank::Bank bank;
    int startSlot = -1;
    bool skipped = false;
    bool stopped = false;

    for (const Step& step : steps) {
        bank::ImportOutcome outcome;
        switch (step.kind) {
            case Kind::kStart:
                startSlot = step.slot;
                break;
            case Kind::kImport:
                bank::ImportPrograms(platform, bank, {step.text}, startSlot, &outcome);
                break;
            case Kind::kImportBank:
                bank::ImportBank(platform, bank, step.text, startSlot, &outcome);
                break;
            case Kind::kRename:
            case Kind::kCategories:
                // Both are offered only for a slot that holds a program.
                if (!bank.slots[static_cast<std::size_t>(step.slot)].defined) {
                    io.err << "velmorant-cli bank: " << step.option << ": slot " << bank::SlotLabel(step.slot)
                           << " is empty\n";
                    return kExitUsage;
                }
                if (step.kind == Kind::kRename) {
                    if (!step.note.empty()) {
                        io.err << "velmorant-cli bank: " << step.option << ": " << bank::SlotLabel(step.slot) << ": "
                               << step.note << "\n";
                    }
                    bank::RenameProgram(bank, step.slot, step.text);
                } else {
                    bank.slots[static_cast<std::size_t>(step.slot)].categories = step.text;
                }
                break;
            case Kind::kRemove:
                bank::RemoveProgram(bank, step.slot);
                break;
            case Kind::kSwap:
                bank::SwapSlots(bank, step.slot, step.otherSlot);
                break;
            case Kind::kExport:
                break;
        }
        skipped = skipped || outcome.skipped > 0;
        if (outcome.stopped) {
            stopped = true;
            break;
        }
    }

    int exportStatus = kExitOk;
    if (exportDestination && !stopped) {
        ExportRequest request = export_;
        request.destination = *exportDestination;
        request.bankName = bankName;
        request.json = json_;
        exportStatus = RunExport(platform, bank, request, io);
    }

    // A dry run prints its plan in the slot list's place.
    if (stopped || !export_.dryRun) {
        if (json_) {
            PrintSlotsJson(bank, io.out);
        } else {
            PrintSlots(bank, io.out);
        }
    }
    if (stopped) {
        return kExitStopped;
    }
    return skipped || exportStatus != kExitOk ? kExitFailed : kExitOk;
}

}  // namespace velmorant::cli
