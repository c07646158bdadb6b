#pragma once

#include "service/core/GeoData.h"
#include "service/http/ServerLimits.h"

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace service {

struct ServiceOptions {
    std::string host = "127.0.0.1";
    int port = 8936;
    // The folders to take the newest good set from (DataSetChoice.h), in the order given.
    std::vector<std::string> dataFolders{kDefaultDataFolder};
    bool trustProxy = false;
    std::string accessLog = "-";  // a file, "-" for standard error, "off"
    ServerLimits limits;
    bool showHelp = false;
};

class ServiceUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program name:
//   [--listen ADDR:PORT] [--data DIR]... [--trust-proxy] [--access-log FILE|-|off]
//   [--max-connections N] [--max-per-address N] [--threads N] [--help]
// ADDR may be an IPv6 address in brackets; PORT 0 asks for any free port.
// Throws ServiceUsageError for anything else.
ServiceOptions ParseServiceOptions(std::span<const std::string_view> arguments);

std::string_view UsageText();

}  // namespace service
