#include "GeoData.h"

#include "DataError.h"
#include "ReservedRanges.h"

#include <array>
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

}  // namespace

GeoData::GeoData(const std::string& folder)
    : m_city(PathIn(folder, kCityDatabaseFile)),
      m_asn(AsnTable::Load(PathIn(folder, kAsnTableFile))),
      m_registry(PathIn(folder, kRegistryCountryFile)) {}

LookupAnswer GeoData::Answer(std::uint32_t address) const {
    if (const auto label = SpecialRangeLabel(address)) return UniformAnswer(*label);
    return LookupAnswer{LocationOf(address), NetworkOf(address), RegisteredCountryOf(address)};
}

std::string GeoData::LocationOf(std::uint32_t address) const {
    static constexpr std::array<const char*, 3> kFields{"country_code", "state1", "city"};
    const auto record = m_city.StringFields(address, kFields);
    if (!record) return std::string(kUnknownText);
    const std::string& region = (*record)[1];
    const std::string& city = (*record)[2];

    std::string location = m_countryNames.NameOf((*record)[0]);
    for (const std::string* part : {&region, &city}) {
        if (part->empty() || (part == &city && city == region)) continue;
        location += ' ';
        location += *part;
    }
    return location;
}

std::string GeoData::NetworkOf(std::uint32_t address) const {
    const auto record = m_asn.Find(address);
    if (!record) return std::string(kUnknownText);
    std::string network = "AS" + std::to_string(record->number);
    if (!record->organisation.empty()) {
        network += ' ';
        network += record->organisation;
    }
    return network;
}

std::string GeoData::RegisteredCountryOf(std::uint32_t address) const {
    static constexpr std::array<const char*, 1> kFields{"country_code"};
    const auto record = m_registry.StringFields(address, kFields);
    if (!record || (*record)[0].empty()) return std::string(kUnknownText);
    return m_countryNames.NameOf((*record)[0]);
}

}  // namespace service
