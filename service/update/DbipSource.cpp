#include "service/update/DbipSource.h"

#include "service/core/GeoData.h"
#include "service/core/data/DataError.h"
#include "service/update/DelegationFile.h"
#include "service/update/Gunzip.h"
#include "service/update/UpdateError.h"

#include <filesystem>

namespace update {
namespace {

namespace fs = std::filesystem;

constexpr char kCitySource[] = "dbip-city-lite";
constexpr char kAsnSource[] = "dbip-asn-lite";
constexpr std::uint64_t kMaxDatabaseBytes = std::uint64_t{1} << 31;

std::string MonthOf(std::time_t time, int monthsBack) {
    std::tm utc{};
    gmtime_r(&time, &utc);
    int month = utc.tm_year * 12 + utc.tm_mon - monthsBack;
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d", 1900 + month / 12, month % 12 + 1);
    return text;
}

// The newest month of a monthly database the base set lacks, downloaded and unpacked into
// work/<source>.mmdb; nothing when the base set has the newest there is.
std::optional<std::string> NewMonth(Downloader& downloader, const BaseSet& base,
                                    const std::string& source, const std::string& work,
                                    std::time_t now) {
    const std::optional<std::string> have = base.VersionOf(source);
    const std::string packed = (fs::path(work) / (source + ".mmdb.gz")).string();
    for (const int back : {0, 1}) {
        const std::string month = MonthOf(now, back);
        if (have && *have >= month) return std::nullopt;
        const std::string url =
            "https://download.db-ip.com/free/" + source + "-" + month + ".mmdb.gz";
        if (downloader.Fetch(url, packed) == Fetched::kNew) {
            Gunzip(packed, (fs::path(work) / (source + ".mmdb")).string(), kMaxDatabaseBytes);
            fs::remove(packed);
            return month;
        }
    }
    throw UpdateError(source + ": neither this month's nor last month's database is published (" +
                      downloader.AddressOf("https://download.db-ip.com/free/") + ")");
}

template <typename Make>
auto Checked(const std::string& what, Make make) {
    try {
        return make();
    } catch (const service::DataError& error) {
        throw UpdateError(what + ": " + error.what());
    }
}

void AddCity(Downloader& downloader, const BaseSet& base, const std::string& work, std::time_t now,
             FetchedParts& parts) {
    const std::string file = service::kCityDatabaseBothFile;
    if (const auto month = NewMonth(downloader, base, kCitySource, work, now)) {
        const std::string path = (fs::path(work) / (std::string(kCitySource) + ".mmdb")).string();
        Checked(kCitySource, [&] { return service::CityDatabase(path).layout(); });
        parts.changes.push_back({kCitySource, base.VersionOf(kCitySource).value_or(""), *month});
        parts.sources.push_back(std::string(kCitySource) + "@" + *month + " " + file);
        parts.databases.push_back(path);
        return;
    }
    parts.sources.push_back(std::string(kCitySource) + "@" + *base.VersionOf(kCitySource) + " " +
                            file);
    parts.databases.push_back(base.PathOf(file));
}

void AddAsn(Downloader& downloader, const BaseSet& base, const std::string& work, std::time_t now,
            FetchedParts& parts) {
    std::string month;
    if (const auto fresh = NewMonth(downloader, base, kAsnSource, work, now)) {
        const std::string path = (fs::path(work) / (std::string(kAsnSource) + ".mmdb")).string();
        parts.asn = Checked(kAsnSource, [&] { return service::AsnTable::FromDatabase(path); });
        fs::remove(path);
        parts.changes.push_back({kAsnSource, base.VersionOf(kAsnSource).value_or(""), *fresh});
        month = *fresh;
    } else {
        month = *base.VersionOf(kAsnSource);
    }
    parts.sources.push_back(std::string(kAsnSource) + "@" + month + " " + service::kTablesFile);
}

std::string DelegationSource(const Registry& registry) {
    return "delegated-" + std::string(registry.name) + "-extended-latest";
}

// All five files or none: the ranges are made from all of them together.
void AddRegisteredCountries(Downloader& downloader, const BaseSet& base, const std::string& work,
                            FetchedParts& parts) {
    bool haveAll = true;
    for (const Registry& registry : kRegistries) {
        haveAll = haveAll && base.VersionOf(DelegationSource(registry)).has_value();
    }
    const std::optional<std::time_t> since = haveAll ? base.made() : std::nullopt;
    std::vector<std::string> paths;
    bool anyNew = false;
    for (const Registry& registry : kRegistries) {
        const std::string path = (fs::path(work) / DelegationSource(registry)).string();
        const Fetched fetched = downloader.Fetch(std::string(registry.url), path, since);
        if (fetched == Fetched::kMissing) {
            throw UpdateError(downloader.AddressOf(std::string(registry.url)) + ": not found");
        }
        anyNew = anyNew || fetched == Fetched::kNew;
        paths.push_back(path);
    }
    std::vector<SourceChange> changes;
    std::vector<std::string> sources;
    service::CountryRangeTable table;
    for (std::size_t i = 0; anyNew && i < paths.size(); ++i) {
        if (!fs::exists(paths[i])) {
            downloader.Fetch(std::string(kRegistries[i].url), paths[i]);
        }
        const std::string source = DelegationSource(kRegistries[i]);
        const std::string date = AddDelegations(paths[i], table);
        fs::remove(paths[i]);
        const std::string had = base.VersionOf(source).value_or("");
        if (date != had) changes.push_back({source, had, date});
        sources.push_back(source + "@" + date + " " + service::kTablesFile);
    }
    if (changes.empty()) {
        for (const Registry& registry : kRegistries) {
            const std::string source = DelegationSource(registry);
            sources.push_back(source + "@" + *base.VersionOf(source) + " " + service::kTablesFile);
        }
    } else {
        table.Finish();
        parts.countries = std::move(table);
        parts.changes.insert(parts.changes.end(), changes.begin(), changes.end());
    }
    parts.sources.insert(parts.sources.end(), sources.begin(), sources.end());
}

}  // namespace

FetchedParts FetchDbip(Downloader& downloader, const BaseSet& base, const std::string& work,
                       std::time_t now) {
    FetchedParts parts;
    AddCity(downloader, base, work, now, parts);
    AddAsn(downloader, base, work, now, parts);
    AddRegisteredCountries(downloader, base, work, parts);
    return parts;
}

}  // namespace update
