#pragma once

#include "service/core/data/AsnTable.h"
#include "service/core/data/CountryRangeTable.h"
#include "service/core/names/CarrierNames.h"
#include "service/core/names/CityNames.h"
#include "service/core/names/RegionNames.h"

#include <string>
#include <vector>

namespace service {

// The source files a data set is compiled from, as scripts/fetch-geodata leaves them: the
// city databases (copied into the set as they are), the registered-country database, the AS
// tables of both families and the Chinese name tables (compiled into the set's table file),
// and SOURCES, the packages and versions they came from.
inline constexpr char kRegistryCountrySource[] = "geo-whois-asn-country.mmdb";
inline constexpr char kAsnTableSource[] = "asn-ipv4-num.csv";
inline constexpr char kAsnTableIpv6Source[] = "asn-ipv6.csv";
inline constexpr char kRegionNamesSource[] = "region-names.tsv";
inline constexpr char kCityNamesSource[] = "city-names.tsv";
inline constexpr char kCarrierNamesSource[] = "carrier-names.tsv";
inline constexpr char kSourcesList[] = "SOURCES";

// What a data set is made of: the databases it holds as they are (each under its own file
// name), the tables compiled into its table file, and the lines of its record that say
// where they came from.
struct DataSetParts {
    std::vector<std::string> sources;
    std::vector<std::string> databases;  // paths; a file already in the set stays where it is
    const AsnTable* asn = nullptr;
    const CountryRangeTable* countries = nullptr;
    const RegionNames* regions = nullptr;
    const CityNames* cities = nullptr;
    const CarrierNames* carriers = nullptr;
};

// Writes a data set into setFolder (made when missing): the table file and each database
// (linked where it can be, else copied) under a temporary name, flushed and renamed over
// its old one, the set's record last; then the new set is opened, its checksums read back
// and its sample answers asked. Throws DataError naming the first step that failed; a set
// that fails the final check has its record removed, so that nothing uses it.
void WriteDataSet(const DataSetParts& parts, const std::string& setFolder);

// The data set made from the sources in sourceFolder (scripts/fetch-geodata's).
void CompileDataSet(const std::string& sourceFolder, const std::string& setFolder);

}  // namespace service
