#include "service/geodata/DataSetCompiler.h"

#include "service/core/GeoData.h"
#include "service/core/data/AsnTable.h"
#include "service/core/data/DataError.h"
#include "service/core/data/DataSetRecord.h"
#include "service/core/data/TableFile.h"
#include "service/core/names/CarrierNames.h"
#include "service/core/names/CityNames.h"
#include "service/core/names/RegionNames.h"

#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <unistd.h>

namespace service {
namespace {

namespace fs = std::filesystem;

std::string In(const std::string& folder, const std::string& file) {
    return (fs::path(folder) / file).string();
}

void Flush(const std::string& path) {
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const bool flushed = descriptor >= 0 && fsync(descriptor) == 0;
    if (descriptor >= 0) close(descriptor);
    if (!flushed) throw DataError(path + ": cannot flush to the disk");
}

// The file under a temporary name beside `to` (a second link to it where the file system
// allows, else a copy; data files are never written in place, so the two can share it),
// flushed to the disk, then renamed into place.
void PlaceInto(const std::string& from, const std::string& to) {
    std::error_code error;
    if (fs::equivalent(from, to, error)) {
        Flush(to);
        return;
    }
    const std::string temporary = to + ".new";
    fs::remove(temporary);
    fs::create_hard_link(from, temporary, error);
    if (error) {
        error.clear();
        fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, error);
    }
    if (error) throw DataError(from + ": cannot copy: " + error.message());
    try {
        Flush(temporary);
    } catch (const DataError&) {
        fs::remove(temporary);
        throw;
    }
    fs::rename(temporary, to, error);
    if (error) {
        fs::remove(temporary);
        throw DataError(to + ": cannot replace: " + error.message());
    }
}

std::vector<std::string> SourceLines(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw DataError(path + ": not found");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

}  // namespace

void WriteDataSet(const DataSetParts& parts, const std::string& setFolder) {
    fs::create_directories(setFolder);
    DataSetRecord record;
    record.format = TableFile::kFormatVersion;
    record.sources = parts.sources;
    record.published = OldestSourceDate(parts.sources);

    TableWriter writer;
    parts.asn->AddTo(writer);
    parts.countries->AddTo(writer);
    parts.regions->AddTo(writer);
    parts.cities->AddTo(writer);
    parts.carriers->AddTo(writer);
    writer.Write(In(setFolder, kTablesFile));

    std::vector<std::string> files{kTablesFile};
    for (const std::string& database : parts.databases) {
        const std::string name = fs::path(database).filename().string();
        PlaceInto(database, In(setFolder, name));
        files.push_back(name);
    }
    for (const std::string& file : files) {
        const std::string path = In(setFolder, file);
        record.files.push_back({file, fs::file_size(path), FileCrc32(path)});
    }
    record.made = UtcNow("%Y-%m-%dT%H:%M:%SZ");
    WriteDataSetRecord(setFolder, record);
    try {
        const GeoData check(setFolder, true);
    } catch (const DataError&) {
        fs::remove(In(setFolder, kDataSetRecordFile));
        throw;
    }
}

void CompileDataSet(const std::string& sourceFolder, const std::string& setFolder) {
    const AsnTable asn =
        AsnTable::Load({In(sourceFolder, kAsnTableSource), In(sourceFolder, kAsnTableIpv6Source)});
    const RegionNames regions(In(sourceFolder, kRegionNamesSource));
    const CityNames cities(In(sourceFolder, kCityNamesSource));
    const CarrierNames carriers(In(sourceFolder, kCarrierNamesSource));
    const CountryRangeTable countries =
        CountryRangeTable::FromDatabase(In(sourceFolder, kRegistryCountrySource));
    DataSetParts parts;
    parts.sources = SourceLines(In(sourceFolder, kSourcesList));
    for (const char* database : {kCityDatabaseFile, kCityDatabaseIpv6File}) {
        parts.databases.push_back(In(sourceFolder, database));
    }
    parts.asn = &asn;
    parts.countries = &countries;
    parts.regions = &regions;
    parts.cities = &cities;
    parts.carriers = &carriers;
    WriteDataSet(parts, setFolder);
}

}  // namespace service
