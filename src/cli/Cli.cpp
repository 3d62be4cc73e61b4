#include <CLI/CLI.hpp>

#include <iostream>
#include <sstream>

#include "cli/Command.h"
#include "core/Debug.h"

namespace velmorant::cli {

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CLI::App app{"Velmorant: banks, dependencies, exports, catalogues and new sounds for the instrument's volumes",
                 "velmorant-cli"};
    // Options are --long or -s everywhere: on Windows too, an argument starting with / is a path.
    app.allow_windows_style_options(false);
    app.require_subcommand(1);
    bool verbose = false;
    app.add_flag("--verbose", verbose, "Print developer diagnostics on standard error");
    app.set_version_flag("--version", std::string("velmorant-cli ") + VELMORANT_VERSION);

    auto commands = MakeCommands();
    std::vector<CLI::App*> subcommands;
    for (auto& command : commands) {
        CLI::App* sub = app.add_subcommand(command->name(), command->description());
        command->setup(*sub);
        subcommands.push_back(sub);
    }

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    if (!reversed.empty()) {
        reversed.pop_back();  // the program name
    }
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitOk;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return kExitOk;
    } catch (const CLI::CallForVersion&) {
        out << app.version() << "\n";
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        // A subcommand's --help lands here too, with its own success code.
        if (e.get_exit_code() == 0) {
            for (CLI::App* sub : subcommands) {
                if (sub->parsed()) {
                    out << sub->help();
                    return kExitOk;
                }
            }
            out << app.help();
            return kExitOk;
        }
        err << "velmorant-cli: " << e.what() << "\n";
        err << "Run with --help for usage.\n";
        return kExitUsage;
    }

    if (verbose) {
        core::SetDebugEnabled(true);
    }
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (subcommands[i]->parsed()) {
            CommandIo io{out, err};
            return commands[i]->run(io);
        }
    }
    err << app.help();
    return kExitUsage;
}

}  // namespace velmorant::cli
