// wherix-lookup: answers addresses from the service's databases, without the service.
#include "service/cli/LookupCommand.h"

#include <unistd.h>

#include <iostream>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    // Lines go through the streams' own buffers, not one stdio call each.
    std::ios::sync_with_stdio(false);
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    return cli::RunLookupCommand(arguments, std::cin, std::cout, std::cerr,
                                 ::isatty(STDERR_FILENO) == 1);
}
