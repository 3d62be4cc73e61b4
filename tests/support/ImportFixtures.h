#pragma once

#include <string>
#include <vector>

#include "platform/ScriptedPlatform.h"
#include "support/TempDir.h"

namespace velmorant::testing {

// A small volume, a folder named Volume in a temporary folder, filled program by program.
class ImportVolume {
public:
    const std::string& root() const { return root_; }
    // A path in the temporary folder that holds the volume.
    std::string Path(std::initializer_list<std::string> parts) const { return dir_(parts); }
    std::string ProgramPath(const std::string& bank, const std::string& name) const;
    std::string BankTextPath(const std::string& bank) const;

    // A program with the type tag; a synthesis one plays no files and so always loads.
    std::string AddProgram(const std::string& bank, const std::string& name, const std::string& tag = "  fm");
    // A sample program whose multisample is not on the volume.
    std::string AddProgramMissingDependency(const std::string& bank, const std::string& name);
    // A file with a program's name that is no program.
    std::string AddNotAProgram(const std::string& bank, const std::string& name);
    // bank.txt of the bank folder, lines joined with CR LF after each.
    std::string WriteBankText(const std::string& bank, const std::vector<std::string>& lines);
    // A bank.txt whose count line says `count`, then the lines; Programs/bank.txt when bank is "".
    void WriteBankList(const std::string& bank, int count, std::vector<std::string> lines);
    // `count` entries named P0, P1, ...
    void WriteNumberedBank(const std::string& bank, int count);

private:
    TempDir dir_;
    std::string root_ = dir_({"Volume"});
};

// The calls of one kind, in order.
std::vector<platform::PlatformCall> CallsOf(const platform::ScriptedPlatform& platform,
                                            platform::PlatformCall::Kind kind);
// The recorded calls as short lines ("box Information: ...", "status Loading X.afp",
// "range 3", "pos 1", "front", "close", ...) for whole-sequence assertions.
std::vector<std::string> CallLines(const platform::ScriptedPlatform& platform);

}  // namespace velmorant::testing
