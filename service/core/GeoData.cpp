#include "service/core/GeoData.h"

#include "service/core/DisplayedValue.h"
#include "service/core/LocationText.h"
#include "service/core/ReservedRanges.h"
#include "service/core/data/DataError.h"

#include <filesystem>
#include <tuple>

namespace service {
namespace {

std::string PathIn(const std::string& folder, const char* file) {
    const std::filesystem::path path = std::filesystem::path(folder) / file;
    if (!std::filesystem::is_regular_file(path)) {
        throw DataError(path.string() + ": not found");
    }
    return path.string();
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

// Parsing the AS table takes about as long as reading all the other files, so it has a
// thread of its own.
GeoData::GeoData(const std::string& folder)
    : GeoData(folder, std::async(std::launch::async, [folder] {
                  return AsnTable::Load(
                      {PathIn(folder, kAsnTableFile), PathIn(folder, kAsnTableIpv6File)});
              })) {}

GeoData::GeoData(const std::string& folder, std::future<AsnTable> asnTable)
    : m_city(PathIn(folder, kCityDatabaseFile)),
      m_city6(PathIn(folder, kCityDatabaseIpv6File)),
      m_registry(PathIn(folder, kRegistryCountryFile)),
      m_regionNames(PathIn(folder, kRegionNamesFile)),
      m_cityNames(PathIn(folder, kCityNamesFile)),
      m_carrierNames(PathIn(folder, kCarrierNamesFile)),
      m_asn(asnTable.get()) {}

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
    const CityDatabase& city = address.index() == 0 ? m_city : m_city6;
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
    const auto record = m_registry.Find(address);
    if (!record) {
        registered = UnknownPart<RegisteredCountryAnswer>();
        return;
    }
    Remembered(
        memo ? &memo->m_registered : nullptr, record->Offset(),
        [&] { return RegisteredCountryFrom(*record); }, registered);
}

RegisteredCountryAnswer GeoData::RegisteredCountryFrom(const MmdbRecord& record) const {
    const std::string_view code = record.String({"country_code"});
    if (code.empty()) return UnknownPart<RegisteredCountryAnswer>();
    RegisteredCountryAnswer registered;
    registered.countryCode = UpperCase(code);
    std::tie(registered.country, registered.text) = CountryOf(registered.countryCode);
    return registered;
}

}  // namespace service
