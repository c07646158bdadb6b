#pragma once

#include "GeoData.h"

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
    bool showHelp = false;
    bool showVersion = false;
    std::vector<std::string_view> sources;  // never empty: no address means standard input
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program name: [--data DIR] [--json] [--help] [--version]
// [ADDR|-]...; the data folder defaults to the service's. Throws UsageError for an
// unknown option or a missing value.
LookupOptions ParseLookupOptions(std::span<const std::string_view> arguments);

std::string LookupUsageText();

}  // namespace cli
