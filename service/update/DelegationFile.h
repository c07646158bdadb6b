#pragma once

#include "service/core/data/CountryRangeTable.h"

#include <string>
#include <string_view>

namespace update {

// The regional registries whose delegation files tell the country each address block is
// registered to, and where each publishes its daily "extended" file.
struct Registry {
    std::string_view name;
    std::string_view url;
};
inline constexpr Registry kRegistries[] = {
    {"afrinic", "https://ftp.afrinic.net/pub/stats/afrinic/delegated-afrinic-extended-latest"},
    {"apnic", "https://ftp.apnic.net/stats/apnic/delegated-apnic-extended-latest"},
    {"arin", "https://ftp.arin.net/pub/stats/arin/delegated-arin-extended-latest"},
    {"lacnic", "https://ftp.lacnic.net/pub/stats/lacnic/delegated-lacnic-extended-latest"},
    {"ripencc", "https://ftp.ripe.net/pub/stats/ripencc/delegated-ripencc-extended-latest"},
};

// Adds the allocated and assigned IPv4 and IPv6 blocks of a delegation file
// ("registry|cc|type|start|value|date|status..." lines after a version line whose record
// count must match, so that a cut file is told) to table, and returns the file's date
// (YYYYMMDD, from its version line). Throws UpdateError naming the file and line of the
// first thing that is wrong, or when the file holds no address block at all.
std::string AddDelegations(const std::string& path, service::CountryRangeTable& table);

}  // namespace update
