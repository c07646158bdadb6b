#pragma once

#include "service/cli/LookupCommand.h"

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace cli::test {

// What one run of wherix-lookup's command gave: its status and both streams.
struct CommandRun {
    int status = -1;
    std::string out;
    std::string errors;
};

// Runs the command with these arguments and standard input, not on a terminal.
inline CommandRun RunCommand(const std::vector<std::string_view>& arguments,
                             const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream errors;
    CommandRun run;
    run.status = RunLookupCommand(arguments, in, out, errors, false);
    run.out = out.str();
    run.errors = errors.str();
    return run;
}

}  // namespace cli::test
