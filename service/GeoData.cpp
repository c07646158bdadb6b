#include "GeoData.h"

#include "DataError.h"
#include "HtmlEscape.h"
#include "LocationText.h"
#include "ReservedRanges.h"

#include <filesystem>

namespace service {
namespace {

std::string PathIn(const std::string& folder, const char* file) {
    const std::filesystem::path path = std::filesystem::path(folder) / file;
    if (!std::filesystem::is_regular_file(path)) {
        throw DataError(path.string() + ": not found");
    }
    return path.string();
}

std::string UpperCase(std::string_view code) {
    std::string upper(code);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

}  // namespace

GeoData::GeoData(const std::string& folder)
    : m_city(PathIn(folder, kCityDatabaseFile)),
      m_asn(AsnTable::Load(PathIn(folder, kAsnTableFile))),
      m_registry(PathIn(folder, kRegistryCountryFile)),
      m_regionNames(PathIn(folder, kRegionNamesFile)),
      m_cityNames(PathIn(folder, kCityNamesFile)),
      m_carrierNames(PathIn(folder, kCarrierNamesFile)) {}

LookupAnswer GeoData::Answer(std::uint32_t address) const {
    if (const auto label = SpecialRangeLabel(address)) return SpecialRangeAnswer(*label);
    return LookupAnswer{std::nullopt, LocationOf(address), NetworkOf(address),
                        RegisteredCountryOf(address)};
}

std::pair<std::string, std::string> GeoData::CountryOf(std::string_view code) const {
    std::string text = m_countryNames.NameOf(code);
    const bool named = text != kUnknownText && text != UpperCase(code);
    return {named ? text : std::string(), std::move(text)};
}

LocationAnswer GeoData::LocationOf(std::uint32_t address) const {
    LocationAnswer location;
    const auto record = m_city.Find(address);
    if (!record) {
        location.text = kUnknownText;
        return location;
    }
    location.countryCode = UpperCase(record->countryCode);
    std::string countryText;
    std::tie(location.country, countryText) = CountryOf(location.countryCode);
    location.region = m_regionNames.Find(location.countryCode, record->region);
    if (record->coordinates) {
        location.city = m_cityNames.Find(location.countryCode, record->city, *record->coordinates);
    }
    location.text = DisplayedValue(LocationText({countryText, location.region, location.city}));
    return location;
}

NetworkAnswer GeoData::NetworkOf(std::uint32_t address) const {
    NetworkAnswer network;
    const auto record = m_asn.Find(address);
    if (!record) {
        network.text = kUnknownText;
        return network;
    }
    network.asNumber = record->number;
    network.organisation = record->organisation;
    network.operatorName = m_carrierNames.Find(record->number);
    std::string text = "AS" + std::to_string(record->number);
    const std::string& name =
        network.operatorName.empty() ? network.organisation : network.operatorName;
    if (!name.empty()) {
        text += ' ';
        text += name;
    }
    network.text = DisplayedValue(text);
    return network;
}

RegisteredCountryAnswer GeoData::RegisteredCountryOf(std::uint32_t address) const {
    RegisteredCountryAnswer registered;
    const auto record = m_registry.Find(address);
    const std::string_view code = record ? record->String({"country_code"}) : std::string_view();
    if (code.empty()) {
        registered.text = kUnknownText;
        return registered;
    }
    registered.countryCode = UpperCase(code);
    std::tie(registered.country, registered.text) = CountryOf(registered.countryCode);
    return registered;
}

}  // namespace service
