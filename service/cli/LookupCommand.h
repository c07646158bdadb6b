#pragma once

#include <istream>
#include <ostream>
#include <span>
#include <string_view>

namespace cli {

enum ExitStatus {
    kAllAnswered = 0,
    kSomeBad = 1,
    kUsage = 2,
    kNoData = 3,
    kInputOutputFailed = 4,
};

// The whole of wherix-lookup but for the choice of streams: reads the arguments after the
// program name, loads the databases, answers and returns the exit status. errorsOnTerminal
// tells whether the error stream is a terminal, which alone gets a progress line.
int RunLookupCommand(std::span<const std::string_view> arguments, std::istream& in,
                     std::ostream& out, std::ostream& errors, bool errorsOnTerminal);

}  // namespace cli
