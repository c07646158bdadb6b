// wherix-update: brings the lookup service's data set up to date (UpdateCommand.h).
#include "service/update/UpdateCommand.h"

#include <iostream>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    return update::RunUpdateCommand(arguments, std::cout, std::cerr);
}
