#include "CityNames.h"

#include "NameKey.h"
#include "TsvFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <unordered_map>

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

std::string TableKey(std::string_view countryCode, std::string_view englishName) {
    std::string key(countryCode);
    key += '\t';
    key += NameKey(englishName);
    return key;
}

}  // namespace

CityNames::CityNames(const std::string& path) {
    std::unordered_map<std::string, std::uint32_t> nameOffsets;
    ReadTsvFile(path, 5, [&](std::span<const std::string_view> fields) {
        const auto latitude = ParseDegrees(fields[2], 90);
        const auto longitude = ParseDegrees(fields[3], 180);
        if (fields[0].size() != 2 || fields[1].empty() || fields[4].empty() || !latitude ||
            !longitude || fields[1].size() > 0xfff0 || fields[4].size() > 0xfff0) {
            return false;
        }
        const auto [name, added] = nameOffsets.try_emplace(
            std::string(fields[4]), static_cast<std::uint32_t>(m_text.size()));
        if (added) m_text += fields[4];
        const auto key = static_cast<std::uint32_t>(m_text.size());
        m_text += fields[0];
        m_text += '\t';
        m_text += fields[1];
        m_places.push_back(
            Place{key, name->second, static_cast<std::uint16_t>(fields[1].size() + 3),
                  static_cast<std::uint16_t>(fields[4].size()), *latitude, *longitude});
        return true;
    });
    std::sort(m_places.begin(), m_places.end(),
              [this](const Place& a, const Place& b) { return KeyOf(a) < KeyOf(b); });
}

std::string_view CityNames::KeyOf(const Place& place) const {
    return std::string_view(m_text).substr(place.key, place.keyLength);
}

std::string_view CityNames::NearestMatch(const std::string& tableKey,
                                         const Coordinates& near) const {
    const std::string_view wanted(tableKey);
    const auto first = std::lower_bound(
        m_places.begin(), m_places.end(), wanted,
        [this](const Place& place, std::string_view key) { return KeyOf(place) < key; });
    const Place* nearest = nullptr;
    double nearestKm = kMatchRadiusKm;
    for (auto place = first; place != m_places.end() && KeyOf(*place) == wanted; ++place) {
        const double km = DistanceKm(near, place->latitude, place->longitude);
        if (km <= nearestKm) {
            nearest = &*place;
            nearestKm = km;
        }
    }
    if (nearest == nullptr) return {};
    return std::string_view(m_text).substr(nearest->name, nearest->nameLength);
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
