#pragma once

#include "service/core/data/MmdbFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace service {

struct Coordinates {
    double latitude = 0;
    double longitude = 0;
};

// What the city database says of an address, in its own (English) names; the views point
// into the database's mapping.
struct CityRecord {
    std::string_view countryCode;
    std::string_view region;
    std::string_view city;
    std::optional<Coordinates> coordinates;
};

// The city database, in either of the two record layouts DB-IP's IP to City Lite data
// come in: flat (country_code, state1, city, latitude, longitude), as the ip-location-db
// packages have it, or nested (country.iso_code, subdivisions[0].names.en,
// city.names.en, location), as DB-IP's own monthly file has it. The layout is told from
// a record when the file is opened.
class CityDatabase {
public:
    enum class Layout { Flat, Nested };

    // Throws DataError when the file cannot be opened, holds no record, or its records
    // are in neither layout.
    explicit CityDatabase(const std::string& path);

    Layout layout() const { return m_layout; }
    const MmdbFile& File() const { return m_file; }
    std::optional<CityRecord> Find(const IpAddress& address) const;
    // Find in two steps: the record that holds the address, then what it says.
    std::optional<MmdbMatch> RecordOf(const IpAddress& address) const {
        return m_file.Find(address);
    }
    CityRecord Read(const MmdbRecord& record) const;

private:
    MmdbFile m_file;
    Layout m_layout;
};

}  // namespace service
