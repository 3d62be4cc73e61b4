#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace velmorant::cli {

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Where a command prints; tests pass string streams and read what was printed.
struct CommandIo {
    std::ostream& out;
    std::ostream& err;
};

// One subcommand of velmorant-cli: it declares its options on its CLI11
// subcommand, then runs with the values parsed into its own members.
class Command {
public:
    virtual ~Command() = default;
    virtual std::string name() const = 0;
    virtual std::string description() const = 0;
    virtual void setup(CLI::App& subcommand) = 0;
    virtual int run(CommandIo& io) = 0;
};

// The table of every command, in the order help lists them.
std::vector<std::unique_ptr<Command>> MakeCommands();

// Parses argv and runs the chosen command; returns the exit status.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace velmorant::cli
