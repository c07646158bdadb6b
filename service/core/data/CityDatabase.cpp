#include "service/core/data/CityDatabase.h"

#include "service/core/data/DataError.h"

namespace service {
namespace {

CityDatabase::Layout LayoutOf(const MmdbFile& file, const std::string& path) {
    const auto record = file.AnyRecord();
    if (!record) throw DataError(path + ": holds no record");
    if (record->Holds({"country_code"}, MMDB_DATA_TYPE_UTF8_STRING)) {
        return CityDatabase::Layout::Flat;
    }
    if (record->Holds({"country"}, MMDB_DATA_TYPE_MAP) ||
        record->Holds({"location"}, MMDB_DATA_TYPE_MAP)) {
        return CityDatabase::Layout::Nested;
    }
    throw DataError(path + ": records have neither country_code nor country");
}

std::optional<Coordinates> CoordinatesOf(std::optional<double> latitude,
                                         std::optional<double> longitude) {
    if (!latitude || !longitude) return std::nullopt;
    return Coordinates{*latitude, *longitude};
}

}  // namespace

CityDatabase::CityDatabase(const std::string& path)
    : m_file(path), m_layout(LayoutOf(m_file, path)) {}

std::optional<CityRecord> CityDatabase::Find(const IpAddress& address) const {
    const auto match = RecordOf(address);
    if (!match) return std::nullopt;
    return Read(match->record);
}

CityRecord CityDatabase::Read(const MmdbRecord& record) const {
    if (m_layout == Layout::Flat) {
        return CityRecord{record.String({"country_code"}), record.String({"state1"}),
                          record.String({"city"}),
                          CoordinatesOf(record.Number({"latitude"}), record.Number({"longitude"}))};
    }
    return CityRecord{record.String({"country", "iso_code"}),
                      record.String({"subdivisions", "0", "names", "en"}),
                      record.String({"city", "names", "en"}),
                      CoordinatesOf(record.Number({"location", "latitude"}),
                                    record.Number({"location", "longitude"}))};
}

}  // namespace service
