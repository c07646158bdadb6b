// The generated Chinese name tables the service loads at start (regions, cities, network
// operators): any file contents. Each table refuses a file with a DataError naming it or
// loads it; a row written with any key and name is found by that key with that name.
#include "fuzz/Require.h"
#include "service/core/data/DataError.h"
#include "service/core/names/CarrierNames.h"
#include "service/core/names/CityNames.h"
#include "service/core/names/NameKey.h"
#include "service/core/names/RegionNames.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

namespace {

const std::string& TablePath() {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("lokaro-fuzz-names-" + std::to_string(::getpid()) + ".tsv"))
                                        .string();
    return path;
}

void WriteTable(std::string_view contents) {
    std::ofstream file(TablePath(), std::ios::binary | std::ios::trunc);
    file.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    Require(file.good(), "the table file can be written");
}

// Loads the table file as a Table, which stays where it is made (its views point into
// itself); nothing when it is refused, as it may be.
template <typename Table>
std::unique_ptr<Table> Load() {
    try {
        return std::make_unique<Table>(TablePath());
    } catch (const service::DataError& error) {
        Require(std::string_view(error.what()).starts_with(TablePath()),
                "a refusal names the file");
        return nullptr;
    }
}

void CheckAnyFile(std::string_view contents) {
    WriteTable(contents);
    if (const auto regions = Load<service::RegionNames>()) regions->Find("US", "California");
    if (const auto cities = Load<service::CityNames>()) {
        cities->Find("US", "Mountain View (Santa Clara)", {37.4, -122.1});
    }
    if (const auto carriers = Load<service::CarrierNames>()) carriers->Find(4134);
}

// One row per table from a key and a name that a row can hold.
void CheckRoundTrip(std::string_view key, std::string_view name) {
    if (key.empty() || name.empty() || service::NameKey(key) != key || key.size() > 0xfff0 ||
        name.size() > 0xfff0 || key.find_first_of("\t\n") != std::string_view::npos ||
        name.find_first_of("\t\n") != std::string_view::npos) {
        return;
    }
    const std::string row = std::string(key) + "\t" + std::string(name) + "\n";

    WriteTable("US\t" + row);
    const auto regions = Load<service::RegionNames>();
    Require(regions && regions->Find("US", key) == name, "a region comes back by its key");

    WriteTable("US\t" + std::string(key) + "\t37.3861\t-122.0838\t" + std::string(name) + "\n");
    const auto cities = Load<service::CityNames>();
    Require(cities && cities->Find("US", key, {37.39, -122.08}) == name,
            "a city comes back by its key near its place");
    Require(cities->Find("US", key, {-37.39, 57.92}).empty(), "a city far away is another");

    const std::uint32_t number = static_cast<std::uint32_t>(key.size()) * 65537u + 1;
    WriteTable(std::to_string(number) + "\t" + std::string(name) + "\n");
    const auto carriers = Load<service::CarrierNames>();
    Require(carriers && carriers->Find(number) == name, "an operator comes back by its number");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckAnyFile(input);
    // The first line is a key, the second a name.
    const std::size_t lineEnd = input.find('\n');
    if (lineEnd != std::string_view::npos) {
        const std::string_view name = input.substr(lineEnd + 1);
        CheckRoundTrip(input.substr(0, lineEnd), name.substr(0, name.find('\n')));
    }
    return 0;
}
