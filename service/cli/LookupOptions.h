#pragma once

#include "service/core/GeoData.h"

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Where the addresses come from: the arguments, in order, "-" standing for standard input.
inline constexpr std::string_view kStandardInput = "-";

struct LookupOptions {
    std::string dataFolder = service::kDefaultDataFolder;
    bool json = false;
    bool checkData = false;  // only load the data folder and say whether it can be used
    bool showHelp = false;
    bool showVersion = false;
    std::vector<std::string_view> sources;  // never empty: no address means standard input
};

class LookupUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program name: [--data DIR] [--json] [--check-data] [--help]
// [--version] [ADDR|-]...; the data folder defaults to the service's. Throws LookupUsageError for
// an unknown option, a missing value, or addresses beside --check-data.
LookupOptions ParseLookupOptions(std::span<const std::string_view> arguments);

std::string LookupUsageText();

}  // namespace cli
