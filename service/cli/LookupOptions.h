#pragma once

#include "service/core/GeoData.h"

#include <cstddef>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Where the addresses come from: the arguments, in order, "-" standing for standard input.
inline constexpr std::string_view kStandardInput = "-";

// The forms of a summary on the output.
enum class SummaryFormat { kText, kCsv, kJson };

inline constexpr std::size_t kDefaultTop = 10;

struct LookupOptions {
    std::string dataFolder = service::kDefaultDataFolder;
    bool json = false;
    bool checkData = false;  // only load the data folder and say whether it can be used
    bool showHelp = false;
    bool showVersion = false;
    // Summarise the lines of the sources (files or "-") instead of answering each address.
    bool summary = false;
    bool extract = false;  // take the first address found anywhere in a line
    std::size_t top = kDefaultTop;
    SummaryFormat format = SummaryFormat::kText;
    std::string htmlFile;                   // also write the HTML report there, unless empty
    std::vector<std::string_view> sources;  // never empty: nothing given means standard input
};

class LookupUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program name: [--data DIR] [--json] [--check-data] [--help]
// [--version] [--summary [--extract] [--top N] [--format text|csv|json] [--html FILE]]
// [ADDR|FILE|-]...; the data folder defaults to the service's. Throws LookupUsageError for an
// unknown option, a missing or bad value, addresses beside --check-data, a summary's option
// without --summary, or --summary beside --json or --check-data.
LookupOptions ParseLookupOptions(std::span<const std::string_view> arguments);

std::string LookupUsageText();

}  // namespace cli
