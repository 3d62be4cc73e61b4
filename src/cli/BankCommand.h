#pragma once

#include <string>
#include <vector>

#include "cli/Command.h"

namespace velmorant::cli {

// Exit status of a bank run that a stopping result code ended.
inline constexpr int kExitStopped = 3;

// velmorant-cli bank [--json] OPERATION...: builds one bank in memory by applying the
// operations in command-line order, then prints it.
class BankCommand : public Command {
public:
    enum class OperationKind { kStart, kImport, kImportBank, kRename, kRemove, kSwap, kCategories, kExport };

    struct Operation {
        OperationKind kind;
        std::string option;  // as written, for messages
        std::string value;
    };

    // The export that runs after the operations (--export DEST --bank-name NAME ...).
    struct ExportRequest {
        std::string destination;
        std::string bankName;
        std::string folders;
        std::string refs;
        bool replace = false;
        bool registerBank = false;
        bool dryRun = false;
        bool json = false;
    };

    std::string name() const override { return "bank"; }
    std::string description() const override;
    void setup(CLI::App& subcommand) override;
    int run(CommandIo& io) override;

private:
    bool json_ = false;
    std::vector<Operation> operations_;
    ExportRequest export_;
};

}  // namespace velmorant::cli
