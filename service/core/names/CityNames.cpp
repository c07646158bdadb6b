#include "service/core/names/CityNames.h"

#include "service/core/data/DataError.h"
#include "service/core/data/TsvFile.h"
#include "service/core/names/NameKey.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace service {
namespace {

constexpr double kEarthRadiusKm = 6371;
constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180;

// Equirectangular distance: within the match radius it is as good as the great circle.
double DistanceKm(const Coordinates& a, double latitude, double longitude) {
    const double meanLatitude = (a.latitude + latitude) / 2 * kRadiansPerDegree;
    double longitudeGap = std::abs(a.longitude - longitude);
    if (longitudeGap > 180) longitudeGap = 360 - longitudeGap;
    const double x = longitudeGap * kRadiansPerDegree * std::cos(meanLatitude);
    const double y = (a.latitude - latitude) * kRadiansPerDegree;
    return std::sqrt(x * x + y * y) * kEarthRadiusKm;
}

std::optional<float> ParseDegrees(std::string_view text, double limit) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || std::abs(value) > limit) {
        return std::nullopt;
    }
    return static_cast<float>(value);
}

// FNV-1a: the places are searched by a hash of their key, in a dense array, so that a
// lookup touches few cache lines; equal hashes are told apart by the key itself.
std::uint64_t KeyHash(std::string_view key) {
    std::uint64_t hash = 0xcbf29ce484222325;
    for (const char c : key) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3;
    }
    return hash;
}

std::string TableKey(std::string_view countryCode, std::string_view englishName) {
    std::string key(countryCode);
    key += '\t';
    key += NameKey(englishName);
    return key;
}

}  // namespace

CityNames::CityNames(const std::string& path) : m_ownText(ReadTableFile(path)), m_text(m_ownText) {
    m_ownPlaces.reserve(
        static_cast<std::size_t>(std::count(m_ownText.begin(), m_ownText.end(), '\n')) + 1);
    ForEachTableRow(m_text, path, 5, [this](std::span<const std::string_view> fields) {
        const auto latitude = ParseDegrees(fields[2], 90);
        const auto longitude = ParseDegrees(fields[3], 180);
        if (fields[0].size() != 2 || fields[1].empty() || fields[4].empty() || !latitude ||
            !longitude || fields[1].size() > 0xfff0 || fields[4].size() > 0xfff0) {
            return false;
        }
        // A row starts with its key, "CC\tkey", and ends with its name.
        m_ownPlaces.push_back(Place{OffsetOf(fields[0]), OffsetOf(fields[4]),
                                    static_cast<std::uint16_t>(fields[1].size() + 3),
                                    static_cast<std::uint16_t>(fields[4].size()), *latitude,
                                    *longitude});
        return true;
    });
    std::vector<std::pair<std::uint64_t, Place>> hashed;
    hashed.reserve(m_ownPlaces.size());
    for (const Place& place : m_ownPlaces) hashed.emplace_back(KeyHash(KeyOf(place)), place);
    std::sort(hashed.begin(), hashed.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    m_ownKeyHashes.reserve(hashed.size());
    for (std::size_t i = 0; i < hashed.size(); ++i) {
        m_ownKeyHashes.push_back(hashed[i].first);
        m_ownPlaces[i] = hashed[i].second;
    }
    m_keyHashes = m_ownKeyHashes;
    m_places = m_ownPlaces;
}

CityNames::CityNames(const TableFile& file)
    : m_text(file.Text(TableSection::kCityText)),
      m_keyHashes(file.Array<std::uint64_t>(TableSection::kCityHashes)),
      m_places(file.Array<Place>(TableSection::kCityPlaces)) {
    if (m_keyHashes.size() != m_places.size()) {
        throw DataError("compiled city names: " + std::to_string(m_keyHashes.size()) +
                        " keys for " + std::to_string(m_places.size()) + " places");
    }
}

void CityNames::AddTo(TableWriter& writer) const {
    writer.Add(TableSection::kCityText, m_text);
    writer.Add(TableSection::kCityHashes, m_keyHashes);
    writer.Add(TableSection::kCityPlaces, m_places);
}

std::uint32_t CityNames::OffsetOf(std::string_view field) const {
    return static_cast<std::uint32_t>(field.data() - m_text.data());
}

std::string_view CityNames::KeyOf(const Place& place) const {
    return TextAt(m_text, TextRef{place.key, place.keyLength});
}

std::string_view CityNames::NearestMatch(const std::string& tableKey,
                                         const Coordinates& near) const {
    const std::uint64_t hash = KeyHash(tableKey);
    const Place* nearest = nullptr;
    double nearestKm = kMatchRadiusKm;
    for (auto i = static_cast<std::size_t>(
             std::lower_bound(m_keyHashes.begin(), m_keyHashes.end(), hash) - m_keyHashes.begin());
         i < m_keyHashes.size() && m_keyHashes[i] == hash; ++i) {
        const Place& place = m_places[i];
        if (KeyOf(place) != tableKey) continue;
        const double km = DistanceKm(near, place.latitude, place.longitude);
        if (km <= nearestKm) {
            nearest = &place;
            nearestKm = km;
        }
    }
    if (nearest == nullptr) return {};
    return TextAt(m_text, TextRef{nearest->name, nearest->nameLength});
}

std::string_view CityNames::Find(std::string_view countryCode, std::string_view englishName,
                                 const Coordinates& near) const {
    if (englishName.empty()) return {};
    std::string_view candidates[3] = {englishName};
    const std::size_t open = englishName.find(" (");
    if (open != std::string_view::npos && englishName.back() == ')') {
        candidates[1] = englishName.substr(0, open);
        candidates[2] = englishName.substr(open + 2, englishName.size() - open - 3);
    }
    for (const std::string_view candidate : candidates) {
        if (candidate.empty()) continue;
        const std::string_view name = NearestMatch(TableKey(countryCode, candidate), near);
        if (!name.empty()) return name;
    }
    return {};
}

}  // namespace service
