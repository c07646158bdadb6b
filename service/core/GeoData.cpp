#include "service/core/GeoData.h"

#include "service/core/DisplayedValue.h"
#include "service/core/LocationText.h"
#include "service/core/ReservedRanges.h"
#include "service/core/data/DataError.h"
#include "service/core/data/DataSetLocation.h"

#include <algorithm>
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
Part UnknownPart() {
    Part part;
    part.text = kUnknownText;
    return part;
}

// Writes the part made from the record of this key over `part`, from the memo when it was
// made before; a copy keeps the memory of part's strings.
template <typename Key, typename Part, typename MakePart>
void Remembered(std::unordered_map<Key, Part>* memo, Key key, MakePart makePart, Part& part) {
    if (memo == nullptr) {
        part = makePart();
        return;
    }
    auto known = memo->find(key);
    if (known == memo->end()) {
        if (memo->size() >= AnswerMemo::kLimit) memo->clear();
        known = memo->emplace(key, makePart()).first;
    }
    part = known->second;
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
    : m_folder(DataSetFolder(folder)),
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
    LookupAnswer answer;
    Answer(address, nullptr, answer);
    return answer;
}

const LookupAnswer& GeoData::Answer(const IpAddress& address, AnswerMemo& memo) const {
    Answer(address, &memo, memo.m_answer);
    return memo.m_answer;
}

void GeoData::Answer(const IpAddress& address, AnswerMemo* memo, LookupAnswer& answer) const {
    if (const auto label = SpecialRangeLabel(address)) {
        answer = SpecialRangeAnswer(*label);
        return;
    }
    answer.specialRange.reset();
    LocationOf(address, memo, answer.location);
    NetworkOf(address, memo, answer.network);
    RegisteredCountryOf(address, memo, answer.registeredCountry);
}

std::pair<std::string, std::string> GeoData::CountryOf(std::string_view code) const {
    std::string text = m_countryNames.NameOf(code);
    const bool named = text != kUnknownText && text != code;
    return {named ? text : std::string(), std::move(text)};
}

void GeoData::LocationOf(const IpAddress& address, AnswerMemo* memo,
                         LocationAnswer& location) const {
    const CityDatabase& city = CityFor(address);
    const auto record = city.RecordOf(address);
    if (!record) {
        location = UnknownPart<LocationAnswer>();
        return;
    }
    Remembered(
        memo ? &memo->m_locations : nullptr,
        std::uint64_t{address.index()} << 32 | record->Offset(),
        [&] { return LocationFrom(city.Read(*record)); }, location);
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

void GeoData::NetworkOf(const IpAddress& address, AnswerMemo* memo, NetworkAnswer& network) const {
    const auto record = m_asn.Find(address);
    if (!record) {
        network = UnknownPart<NetworkAnswer>();
        return;
    }
    Remembered(
        memo ? &memo->m_networks : nullptr, record->key, [&] { return NetworkFrom(*record); },
        network);
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

void GeoData::RegisteredCountryOf(const IpAddress& address, AnswerMemo* memo,
                                  RegisteredCountryAnswer& registered) const {
    const std::string_view code = m_countryRanges.Find(address);
    std::uint32_t key = 0;
    for (const char c : code) key = key << 8 | static_cast<unsigned char>(c);
    if (code.empty()) {
        registered = UnknownPart<RegisteredCountryAnswer>();
        return;
    }
    Remembered(
        memo ? &memo->m_registered : nullptr, key, [&] { return RegisteredCountryFrom(code); },
        registered);
}

RegisteredCountryAnswer GeoData::RegisteredCountryFrom(std::string_view code) const {
    RegisteredCountryAnswer registered;
    registered.countryCode = UpperCase(code);
    std::tie(registered.country, registered.text) = CountryOf(registered.countryCode);
    return registered;
}

}  // namespace service
