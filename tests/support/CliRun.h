#pragma once

#include <string>
#include <vector>

namespace velmorant::testing {

// What one in-process run of velmorant-cli printed and returned.
struct CliRun {
    int status = 0;
    std::string out;
    std::string err;
};

// Runs velmorant-cli with the arguments (without the program name) in this process.
CliRun RunVelmorantCli(std::vector<std::string> args);

}  // namespace velmorant::testing
