#include "service/core/GeoData.h"

#include "service/core/DisplayedValue.h"
#include "service/core/LocationText.h"
#include "service/core/ReservedRanges.h"
#include "service/core/data/DataError.h"
#include "service/core/data/DataSetLocation.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <tuple>

namespace service {
namespace {

bool Holds(const DataSetRecord& record, const char* file) {
    return std::any_of(record.files.begin(), record.files.end(),
                       [&](const DataSetRecord::File& f) { return f.name == file; });
}

// The path of a file the set must hold and record; checked before anything is mapped.
std::string PathIn(const std::string& folder, const DataSetRecord& record, const char* file) {
    const std::filesystem::path path = std::filesystem::path(folder) / file;
    if (!std::filesystem::is_regular_file(path)) {
        throw DataError(path.string() + ": not found");
    }
    if (!Holds(record, file)) {
        throw DataError(path.string() + ": not in the set's record");
    }
    return path.string();
}

DataSetRecord CheckedRecord(const std::string& folder, bool checksums) {
    DataSetRecord record = ReadDataSetRecord(folder);
    CheckDataSetFiles(folder, record, checksums);
    return record;
}

bool TypeHas(const MmdbFile& file, std::string_view word) {
    std::string type(file.DatabaseType());
    for (char& c : type) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return type.find(word) != std::string::npos;
}

// An answer part of which nothing is known.
template <typename Part>
const Part& UnknownPart() {
    static const Part unknown = [] {
        Part part;
        part.text = kUnknownText;
        return part;
    }();
    return unknown;
}

std::uint64_t NextDataSerial() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

std::string UpperCase(std::string_view code) {
    std::string upper(code);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

}  // namespace

GeoData::GeoData(const std::string& folder, bool checksums)
    : m_serial(NextDataSerial()),
      m_folder(DataSetFolder(folder)),
      m_record(CheckedRecord(m_folder, checksums)),
      m_tables(PathIn(m_folder, m_record, kTablesFile)),
      m_city(PathIn(
          m_folder, m_record,
          Holds(m_record, kCityDatabaseBothFile) ? kCityDatabaseBothFile : kCityDatabaseFile)),
      m_regionNames(m_tables),
      m_cityNames(m_tables),
      m_carrierNames(m_tables),
      m_asn(m_tables),
      m_countryRanges(m_tables) {
    if (!Holds(m_record, kCityDatabaseBothFile)) {
        m_city6.emplace(PathIn(m_folder, m_record, kCityDatabaseIpv6File));
    }
    CheckSamples(m_folder);
}

// Files swapped for one another, or tables that lost their rows, pass every check of size
// and shape; the databases' own types and a few answers every set has tell them.
void GeoData::CheckSamples(const std::string& folder) const {
    const auto refuse = [&](const std::string& why) {
        throw DataError(folder + ": " + why + " (a damaged or mixed set)");
    };
    if (!TypeHas(m_city.File(), "city") || (m_city6 && !TypeHas(m_city6->File(), "city"))) {
        refuse("a city database is not one");
    }
    for (const char* sample : {"8.8.8.8", "2001:4860:4860::8888"}) {
        const IpAddress address = *ParseIpAddress(sample);
        const LookupAnswer answer = Answer(address);
        if (answer.location.countryCode.empty() || !answer.network.asNumber ||
            answer.registeredCountry.countryCode.empty()) {
            refuse(std::string("no whole answer for ") + sample);
        }
    }
}

LookupAnswer GeoData::Answer(const IpAddress& address) const {
    AnswerMemo memo;
    return Answer(address, memo).Copy();
}

AnswerView GeoData::Answer(const IpAddress& address, AnswerMemo& memo) const {
    if (memo.m_dataSerial != m_serial) {
        memo = AnswerMemo(memo.m_locations.limit);
        memo.m_dataSerial = m_serial;
    }
    if (const auto label = SpecialRangeLabel(address)) {
        memo.m_special = SpecialRangeAnswer(*label);
        return memo.m_special;
    }
    return {nullptr, LocationOf(address, memo), NetworkOf(address, memo),
            RegisteredCountryOf(address, memo)};
}

std::pair<std::string, std::string> GeoData::CountryOf(std::string_view code) const {
    std::string text = m_countryNames.NameOf(code);
    const bool named = text != kUnknownText && text != code;
    return {named ? text : std::string(), std::move(text)};
}

const LocationAnswer& GeoData::LocationOf(const IpAddress& address, AnswerMemo& memo) const {
    if (const LocationAnswer* known = memo.m_locations.InLastNetwork(address)) return *known;
    const CityDatabase& city = CityFor(address);
    const auto match = city.RecordOf(address);
    if (!match) return UnknownPart<LocationAnswer>();
    return memo.m_locations.Get(
        std::uint64_t{address.index()} << 32 | match->record.Offset(),
        [&] { return LocationFrom(city.Read(match->record)); }, match->network);
}

LocationAnswer GeoData::LocationFrom(const CityRecord& record) const {
    LocationAnswer location;
    location.countryCode = UpperCase(record.countryCode);
    std::string countryText;
    std::tie(location.country, countryText) = CountryOf(location.countryCode);
    location.region = m_regionNames.Find(location.countryCode, record.region);
    if (record.coordinates) {
        location.city = m_cityNames.Find(location.countryCode, record.city, *record.coordinates);
    }
    location.text = DisplayedValue(LocationText({countryText, location.region, location.city}));
    return location;
}

const NetworkAnswer& GeoData::NetworkOf(const IpAddress& address, AnswerMemo& memo) const {
    if (const NetworkAnswer* known = memo.m_networks.InLastNetwork(address)) return *known;
    const auto record = m_asn.Find(address);
    if (!record) return UnknownPart<NetworkAnswer>();
    return memo.m_networks.Get(
        record->key, [&] { return NetworkFrom(*record); }, record->range);
}

NetworkAnswer GeoData::NetworkFrom(const AsnRecord& record) const {
    NetworkAnswer network;
    network.asNumber = record.number;
    network.organisation = record.organisation;
    network.operatorName = m_carrierNames.Find(record.number);
    std::string text = "AS" + std::to_string(record.number);
    const std::string& name =
        network.operatorName.empty() ? network.organisation : network.operatorName;
    if (!name.empty()) {
        text += ' ';
        text += name;
    }
    network.text = DisplayedValue(text);
    return network;
}

const RegisteredCountryAnswer& GeoData::RegisteredCountryOf(const IpAddress& address,
                                                            AnswerMemo& memo) const {
    if (const RegisteredCountryAnswer* known = memo.m_registered.InLastNetwork(address)) {
        return *known;
    }
    const auto match = m_countryRanges.FindRange(address);
    if (!match || match->code.empty()) return UnknownPart<RegisteredCountryAnswer>();
    std::uint32_t key = 0;
    for (const char c : match->code) key = key << 8 | static_cast<unsigned char>(c);
    return memo.m_registered.Get(
        key, [&] { return RegisteredCountryFrom(match->code); }, match->range);
}

RegisteredCountryAnswer GeoData::RegisteredCountryFrom(std::string_view code) const {
    RegisteredCountryAnswer registered;
    registered.countryCode = UpperCase(code);
    std::tie(registered.country, registered.text) = CountryOf(registered.countryCode);
    return registered;
}

}  // namespace service
