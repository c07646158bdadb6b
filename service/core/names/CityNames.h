#pragma once

#include "service/core/data/CityDatabase.h"
#include "service/core/data/TableFile.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace service {

// Chinese names of cities, from the generated city-names.tsv: rows "country, name key,
// latitude, longitude, Chinese name", one per English name a place is known by. A city of
// the city database gets the Chinese name of a place of the same country and name within
// kMatchRadiusKm of the database's coordinates, the nearest if several are; the distance
// keeps apart the many towns that share a name.
class CityNames {
public:
    static constexpr double kMatchRadiusKm = 60;

    // Throws DataError naming the file and line of the first malformed row.
    explicit CityNames(const std::string& path);
    // The table of a compiled file, which must outlive this. Throws DataError.
    explicit CityNames(const TableFile& file);
    CityNames(const CityNames&) = delete;
    CityNames& operator=(const CityNames&) = delete;

    void AddTo(TableWriter& writer) const;

    // The Chinese name; empty when no place matches. A name with a part in brackets
    // ("Guangzhou (Yuexiu Qu)") is tried whole, then without the brackets, then by what
    // they hold.
    std::string_view Find(std::string_view countryCode, std::string_view englishName,
                          const Coordinates& near) const;

private:
    struct Place {
        std::uint32_t key;  // offsets into m_text: "CC\tkey" and the name
        std::uint32_t name;
        std::uint16_t keyLength;
        std::uint16_t nameLength;
        float latitude;
        float longitude;
    };

    std::uint32_t OffsetOf(std::string_view field) const;
    std::string_view KeyOf(const Place& place) const;
    std::string_view NearestMatch(const std::string& tableKey, const Coordinates& near) const;

    // A parsed table owns its text and arrays; lookups read the views.
    std::string m_ownText;  // the table file as it is
    std::vector<std::uint64_t> m_ownKeyHashes;
    std::vector<Place> m_ownPlaces;
    std::string_view m_text;
    std::span<const std::uint64_t> m_keyHashes;  // sorted
    std::span<const Place> m_places;             // the place of each hash, in the same order
};

}  // namespace service
