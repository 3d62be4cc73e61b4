#pragma once

#include <string>
#include <vector>

#include "platform/ScriptedPlatform.h"
#include "support/TempDir.h"

namespace velmorant::testing {

// A small volume in a temporary folder, filled program by program.
class ImportVolume {
public:
    std::string root() const { return dir_.path(); }
    std::string ProgramPath(const std::string& bank, const std::string& name) const;
    std::string BankTextPath(const std::string& bank) const;

    // A synthesis program, which plays no files and so always loads.
    std::string AddProgram(const std::string& bank, const std::string& name);
    // A sample program whose multisample is not on the volume.
    std::string AddProgramMissingDependency(const std::string& bank, const std::string& name);
    // A file with a program's name that is no program.
    std::string AddNotAProgram(const std::string& bank, const std::string& name);
    // bank.txt of the bank folder, lines joined with CR LF after each.
    std::string WriteBankText(const std::string& bank, const std::vector<std::string>& lines);

private:
    TempDir dir_;
};

// The calls of one kind, in order.
std::vector<platform::PlatformCall> CallsOf(const platform::ScriptedPlatform& platform,
                                            platform::PlatformCall::Kind kind);
// The recorded calls as short lines ("box Information: ...", "status Loading X.afp",
// "range 3", "pos 1", "front", "close", ...) for whole-sequence assertions.
std::vector<std::string> CallLines(const platform::ScriptedPlatform& platform);

}  // namespace velmorant::testing
