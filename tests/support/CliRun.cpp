#include "support/CliRun.h"

#include <sstream>

#include "cli/Command.h"

namespace velmorant::testing {

CliRun RunVelmorantCli(std::vector<std::string> args) {
    args.insert(args.begin(), "velmorant-cli");
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::RunCli(args, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace velmorant::testing
