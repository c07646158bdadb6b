#include "service/cli/LookupOptions.h"

#include "service/core/GeoData.h"

namespace cli {

LookupOptions ParseLookupOptions(std::span<const std::string_view> arguments) {
    LookupOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--data") {
            if (i + 1 >= arguments.size()) throw LookupUsageError("--data wants a folder");
            options.dataFolder = std::string(arguments[++i]);
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "--check-data") {
            options.checkData = true;
        } else if (argument == "--help" || argument == "-h") {
            options.showHelp = true;
        } else if (argument == "--version") {
            options.showVersion = true;
        } else if (argument.starts_with('-') && argument != kStandardInput) {
            throw LookupUsageError("unknown option \"" + std::string(argument) + "\"");
        } else {
            options.sources.push_back(argument);
        }
    }
    if (options.checkData && !options.sources.empty()) {
        throw LookupUsageError("--check-data takes no addresses");
    }
    if (options.sources.empty()) options.sources.push_back(kStandardInput);
    return options;
}

std::string LookupUsageText() {
    return "usage: wherix-lookup [--data DIR] [--json] [ADDR|-]...\n"
           "       wherix-lookup [--data DIR] --check-data\n"
           "Tells where IPv4 and IPv6 addresses are, from the lookup service's databases\n"
           "on this machine. With no ADDR, or for \"-\", reads standard input: one address\n"
           "a line, blank lines and lines starting with \"#\" skipped.\n"
           "  --data DIR    folder of the databases (default " +
           std::string(service::kDefaultDataFolder) +
           ")\n"
           "  --json        one JSON object a line instead of tab-separated text\n"
           "  --check-data  load the databases, answer nothing: exit status 0 when\n"
           "                they can be used, 3 (and why) when not\n"
           "  --help        show this text\n"
           "  --version     show the version\n"
           "Each answer is one line: the address as given, location, network, registered\n"
           "country; the JSON objects give the address in its canonical form.\n"
           "Exit status: 0 all answered, 1 some addresses were bad, 2 usage error,\n"
           "3 databases missing or damaged, 4 input or output failed.\n";
}

}  // namespace cli
