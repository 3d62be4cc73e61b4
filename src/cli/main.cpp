#include <iostream>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "core/File.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args = velmorant::core::CommandLineArguments(argc, argv);
    return velmorant::cli::RunCli(args, std::cout, std::cerr);
}
