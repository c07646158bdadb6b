#include "service/cli/LookupOptions.h"

#include "service/core/GeoData.h"

#include <charconv>

namespace cli {
namespace {

// More than anyone reads, few enough that a mistyped number is caught.
constexpr std::size_t kMostTop = 1000000;

std::size_t TopValue(std::string_view text) {
    std::size_t top = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), top);
    if (error != std::errc() || end != text.data() + text.size() || top == 0 || top > kMostTop) {
        throw LookupUsageError("--top wants a number from 1 to " + std::to_string(kMostTop));
    }
    return top;
}

SummaryFormat FormatValue(std::string_view text) {
    if (text == "text") return SummaryFormat::kText;
    if (text == "csv") return SummaryFormat::kCsv;
    if (text == "json") return SummaryFormat::kJson;
    throw LookupUsageError("--format wants text, csv or json");
}

}  // namespace

LookupOptions ParseLookupOptions(std::span<const std::string_view> arguments) {
    LookupOptions options;
    bool summaryOption = false;  // one that only a summary takes
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const auto value = [&](const char* what) {
            if (i + 1 >= arguments.size()) {
                throw LookupUsageError(std::string(argument) + " wants " + what);
            }
            return arguments[++i];
        };
        if (argument == "--data") {
            options.dataFolder = std::string(value("a folder"));
        } else if (argument == "--summary") {
            options.summary = true;
        } else if (argument == "--extract") {
            options.extract = summaryOption = true;
        } else if (argument == "--top") {
            options.top = TopValue(value("a number"));
            summaryOption = true;
        } else if (argument == "--format") {
            options.format = FormatValue(value("text, csv or json"));
            summaryOption = true;
        } else if (argument == "--html") {
            options.htmlFile = std::string(value("a file"));
            if (options.htmlFile.empty()) throw LookupUsageError("--html wants a file");
            summaryOption = true;
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
    if (summaryOption && !options.summary) {
        throw LookupUsageError("--extract, --top, --format and --html go with --summary");
    }
    if (options.summary && (options.json || options.checkData)) {
        throw LookupUsageError(std::string(options.json ? "--json" : "--check-data") +
                               " does not go with --summary (see --format)");
    }
    if (options.sources.empty()) options.sources.push_back(kStandardInput);
    return options;
}

std::string LookupUsageText() {
    return "usage: wherix-lookup [--data DIR] [--json] [ADDR|-]...\n"
           "       wherix-lookup [--data DIR] --summary [--extract] [--top N]\n"
           "                     [--format text|csv|json] [--html FILE] [FILE|-]...\n"
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
           "  --summary     count the lines of the files (plain or gzip) by country,\n"
           "                region, city, network and operator, each address looked up\n"
           "                once; with no FILE, or for \"-\", standard input\n"
           "  --extract     take the first IPv4 or IPv6 address found anywhere in a line\n"
           "                (web server and other logs); lines without one are skipped\n"
           "  --top N       how many of each list to show (default 10)\n"
           "  --format F    the summary as text (default), csv or json\n"
           "  --html FILE   also write the summary as an HTML report with bar charts\n"
           "  --help        show this text\n"
           "  --version     show the version\n"
           "Each answer is one line: the address as given, location, network, registered\n"
           "country; the JSON objects give the address in its canonical form.\n"
           "Exit status: 0 all answered, 1 some addresses were bad, 2 usage error,\n"
           "3 databases missing or damaged, 4 input or output failed (a summary still\n"
           "counts the files that could be read).\n";
}

}  // namespace cli
