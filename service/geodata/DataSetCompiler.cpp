#include "service/geodata/DataSetCompiler.h"

#include "service/core/GeoData.h"
#include "service/core/data/AsnTable.h"
#include "service/core/data/DataError.h"
#include "service/core/data/DataSetRecord.h"
#include "service/core/data/TableFile.h"
#include "service/core/names/CarrierNames.h"
#include "service/core/names/CityNames.h"
#include "service/core/names/RegionNames.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <unistd.h>

namespace service {
namespace {

namespace fs = std::filesystem;

std::string In(const std::string& folder, const char* file) {
    return (fs::path(folder) / file).string();
}

// A copy flushed to the disk under a temporary name, then renamed into place.
void CopyInto(const std::string& from, const std::string& to) {
    const std::string temporary = to + ".new";
    std::error_code error;
    fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, error);
    if (error) throw DataError(from + ": cannot copy: " + error.message());
    const int descriptor = open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    const bool flushed = descriptor >= 0 && fsync(descriptor) == 0;
    if (descriptor >= 0) close(descriptor);
    if (!flushed) {
        fs::remove(temporary);
        throw DataError(temporary + ": cannot flush to the disk");
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

std::string UtcNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace

void CompileDataSet(const std::string& sourceFolder, const std::string& setFolder) {
    DataSetRecord record;
    record.format = TableFile::kFormatVersion;
    record.sources = SourceLines(In(sourceFolder, kSourcesList));
    fs::create_directories(setFolder);

    {
        const AsnTable asn = AsnTable::Load(
            {In(sourceFolder, kAsnTableSource), In(sourceFolder, kAsnTableIpv6Source)});
        const RegionNames regions(In(sourceFolder, kRegionNamesSource));
        const CityNames cities(In(sourceFolder, kCityNamesSource));
        const CarrierNames carriers(In(sourceFolder, kCarrierNamesSource));
        TableWriter writer;
        asn.AddTo(writer);
        regions.AddTo(writer);
        cities.AddTo(writer);
        carriers.AddTo(writer);
        writer.Write(In(setFolder, kTablesFile));
    }
    for (const char* database : {kCityDatabaseFile, kCityDatabaseIpv6File, kRegistryCountryFile}) {
        CopyInto(In(sourceFolder, database), In(setFolder, database));
    }
    for (const char* file :
         {kTablesFile, kCityDatabaseFile, kCityDatabaseIpv6File, kRegistryCountryFile}) {
        const std::string path = In(setFolder, file);
        record.files.push_back({file, fs::file_size(path), FileCrc32(path)});
    }
    record.made = UtcNow();
    WriteDataSetRecord(setFolder, record);
    try {
        const GeoData check(setFolder, true);
    } catch (const DataError&) {
        fs::remove(In(setFolder, kDataSetRecordFile));
        throw;
    }
}

}  // namespace service
