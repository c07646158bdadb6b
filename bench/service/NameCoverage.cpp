// How many answers come out in Chinese, on a fixed random sample of public addresses:
//   name-coverage DATA_DIR [COUNT] [SEED]     (defaults: 1000 addresses, seed 1)
// Prints the shares, then the English names most often left without a Chinese one.
#include "bench/service/PublicSample.h"
#include "service/core/GeoData.h"
#include "service/core/data/CityDatabase.h"
#include "service/core/data/DataError.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

void PrintShare(const char* what, std::size_t count, std::size_t total) {
    std::printf("  %-58s %5zu  %5.1f %%\n", what, count, 100.0 * count / total);
}

void PrintMostMissed(const char* what, const std::map<std::string, int>& missed) {
    std::vector<std::pair<int, std::string>> ordered;
    for (const auto& [name, count] : missed) ordered.emplace_back(count, name);
    std::sort(ordered.rbegin(), ordered.rend());
    std::printf("%s without a Chinese name, most frequent first:\n", what);
    for (std::size_t i = 0; i < ordered.size() && i < 15; ++i) {
        std::printf("  %3d  %s\n", ordered[i].first, ordered[i].second.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: name-coverage DATA_DIR [COUNT] [SEED]\n");
        return 2;
    }
    const std::size_t total = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1000;
    const auto seed = static_cast<std::uint32_t>(argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 1);
    try {
        const service::GeoData data(argv[1]);
        const service::CityDatabase cities(std::string(argv[1]) + "/" + service::kCityDatabaseFile);
        std::size_t located = 0, country = 0, region = 0, regionOrNone = 0, city = 0;
        std::size_t cityGiven = 0, chineseCarrier = 0, chineseRegistered = 0;
        std::map<std::string, int> missedRegions, missedCities;
        for (const std::uint32_t address : PublicSample(total, seed)) {
            const service::LookupAnswer answer = data.Answer(address);
            const auto record = cities.Find(address);
            if (record) ++located;
            if (!answer.location.country.empty()) ++country;
            if (!answer.location.region.empty()) ++region;
            if (!answer.location.city.empty()) ++city;
            if (!answer.network.operatorName.empty()) ++chineseCarrier;
            if (answer.registeredCountry.countryCode == "CN") ++chineseRegistered;
            if (!record) continue;
            const std::string code(record->countryCode);
            if (!answer.location.country.empty() &&
                (record->region.empty() || !answer.location.region.empty())) {
                ++regionOrNone;
            } else if (!record->region.empty()) {
                ++missedRegions[code + " " + std::string(record->region)];
            }
            if (!record->city.empty()) {
                ++cityGiven;
                if (answer.location.city.empty())
                    ++missedCities[code + " " + std::string(record->city)];
            }
        }
        std::printf("%zu public addresses (seed %u), data %s:\n", total, seed, argv[1]);
        PrintShare("located by the city database", located, total);
        PrintShare("country in Chinese", country, total);
        PrintShare("region in Chinese", region, total);
        PrintShare("country in Chinese, region in Chinese or none given", regionOrNone, total);
        PrintShare("city given by the database", cityGiven, total);
        PrintShare("city in Chinese", city, total);
        PrintShare("registered in China", chineseRegistered, total);
        PrintShare("network shown by a Chinese operator name", chineseCarrier, total);
        PrintMostMissed("Regions", missedRegions);
        PrintMostMissed("Cities", missedCities);
    } catch (const service::DataError& error) {
        std::fprintf(stderr, "name-coverage: %s\n", error.what());
        return 3;
    }
    return 0;
}
