#include "service/daemon/ServiceOptions.h"

#include <charconv>
#include <limits>
#include <utility>

namespace service {
namespace {

// More threads than this only contend for the same processors; the limit also keeps a
// mistyped number from starting tens of thousands of threads.
constexpr unsigned kMostThreads = 256;

// An argument as a terminal may safely show it, in quotes: bytes outside printable ASCII,
// quotes and backslashes escaped.
std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20 || byte >= 0x7f) {
            constexpr char kHex[] = "0123456789abcdef";
            quoted += "\\x";
            quoted += kHex[byte >> 4];
            quoted += kHex[byte & 15];
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

void ParseListenAddress(std::string_view text, ServiceOptions& options) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0) {
        throw ServiceUsageError("--listen wants ADDR:PORT, got " + Quoted(text));
    }
    std::string_view host = text.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    const std::string_view portText = text.substr(colon + 1);
    int port = -1;
    const auto [end, error] =
        std::from_chars(portText.data(), portText.data() + portText.size(), port);
    if (error != std::errc() || end != portText.data() + portText.size() || port < 0 ||
        port > 65535 || host.empty()) {
        throw ServiceUsageError("--listen wants ADDR:PORT with a port from 0 to 65535, got " +
                                Quoted(text));
    }
    options.host = std::string(host);
    options.port = port;
}

unsigned ParseCount(std::string_view option, std::string_view text,
                    unsigned most = std::numeric_limits<unsigned>::max()) {
    unsigned count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size() || count == 0 || count > most) {
        const std::string range = most == std::numeric_limits<unsigned>::max()
                                      ? "above 0"
                                      : "from 1 to " + std::to_string(most);
        throw ServiceUsageError(std::string(option) + " wants a whole number " + range + ", got " +
                                Quoted(text));
    }
    return count;
}

}  // namespace

ServiceOptions ParseServiceOptions(std::span<const std::string_view> arguments) {
    ServiceOptions options;
    bool dataGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const auto value = [&]() -> std::string_view {
            if (i + 1 >= arguments.size()) {
                throw ServiceUsageError(std::string(argument) + " wants a value");
            }
            return arguments[++i];
        };
        if (argument == "--") {
            // The end of the options; the service takes no other arguments.
            if (i + 1 < arguments.size()) {
                throw ServiceUsageError("unexpected argument " + Quoted(arguments[i + 1]));
            }
        } else if (argument == "--listen") {
            ParseListenAddress(value(), options);
        } else if (argument == "--data") {
            // The first --data replaces the default, the others join it.
            if (!std::exchange(dataGiven, true)) options.dataFolders.clear();
            options.dataFolders.emplace_back(value());
        } else if (argument == "--trust-proxy") {
            options.trustProxy = true;
        } else if (argument == "--access-log") {
            options.accessLog = std::string(value());
        } else if (argument == "--max-connections") {
            options.limits.maxConnections = ParseCount(argument, value());
        } else if (argument == "--max-per-address") {
            options.limits.maxPerAddress = ParseCount(argument, value());
        } else if (argument == "--threads") {
            options.limits.threads = ParseCount(argument, value(), kMostThreads);
        } else if (argument == "--help" || argument == "-h") {
            options.showHelp = true;
        } else {
            throw ServiceUsageError("unknown argument " + Quoted(argument));
        }
    }
    return options;
}

std::string_view UsageText() {
    return "usage: wherix-service [--listen ADDR:PORT] [--data DIR]... [--trust-proxy]\n"
           "                      [--access-log FILE|-|off] [--max-connections N]\n"
           "                      [--max-per-address N] [--threads N]\n"
           "  --listen ADDR:PORT  address to listen on (default 127.0.0.1:8936; port 0 picks\n"
           "                      a free port, printed as \"listening on ADDR:PORT\")\n"
           "  --data DIR          folder of the databases (default data/geo), fetched by\n"
           "                      scripts/fetch-geodata, or a store wherix-update keeps;\n"
           "                      given more than once, the newest good set of them\n"
           "  --trust-proxy       take the caller's address from X-Forwarded-For when the\n"
           "                      peer is a loopback address (a reverse proxy on this machine)\n"
           "  --access-log WHERE  one line per request to a file, - (standard error, the\n"
           "                      default) or off\n"
           "  --max-connections N open connections at most (default 4096)\n"
           "  --max-per-address N open connections from one address at most (default 1024)\n"
           "  --threads N         serving threads, at most 256 (default one per processor;\n"
           "                      fewer when the machine has other busy work, such as a\n"
           "                      local proxy)\n"
           "A socket passed by systemd (socket activation) takes the place of --listen.\n"
           "SIGHUP reloads the databases and reopens the access log file, SIGUSR1 reopens\n"
           "the access log file only; SIGINT and SIGTERM stop the service.\n";
}

}  // namespace service
