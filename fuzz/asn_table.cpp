// The address-to-network table the service loads at start: any file contents. A file is
// either refused with a DataError or loaded into a table whose searches hold; a row written
// with any organisation, quoted as CSV quotes it, is found with that organisation.
#include "fuzz/Require.h"
#include "service/core/data/AsnTable.h"
#include "service/core/data/DataError.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

std::optional<service::AsnTable> Load(const std::string& rows) {
    try {
        return service::AsnTable::Parse(rows, "fuzz.csv");
    } catch (const service::DataError& error) {
        Require(std::string_view(error.what()).starts_with("fuzz.csv"), "a refusal names the file");
        return std::nullopt;
    }
}

// Rows stand alone: a file loads exactly when each of its lines loads on its own, into as
// many ranges as they give together.
void CheckAnyFile(std::string_view rows) {
    const auto table = Load(std::string(rows));
    bool eachLoads = true;
    std::size_t ranges = 0;
    while (!rows.empty()) {
        const std::size_t end = rows.find('\n');
        const auto line = Load(std::string(rows.substr(0, end)));
        eachLoads = eachLoads && line.has_value();
        if (line) ranges += line->size();
        rows = end == std::string_view::npos ? std::string_view() : rows.substr(end + 1);
    }
    Require(table.has_value() == eachLoads, "a file loads when each of its rows does");
    if (table) Require(table->size() == ranges, "one range per row");
}

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    return quoted + "\"";
}

void CheckOrganisationRoundTrip(std::string_view organisation) {
    if (organisation.find('\n') != std::string_view::npos) return;  // a row is one line
    const std::uint32_t number = static_cast<std::uint32_t>(organisation.size()) * 7919u;
    const auto table =
        Load("0.0.0.0,1.2.3.255,1,\"before\"\r\n1.2.4.0,1.2.4.255," + std::to_string(number) + "," +
             Quoted(organisation) + "\r\n" + "16909568,4294967295,2,after\n");
    Require(table.has_value(), "a well-formed file loads");
    Require(table->size() == 3, "three rows, three ranges");
    for (const std::uint32_t address : {0x01020400u, 0x01020480u, 0x010204ffu}) {
        const auto record = table->Find(address);
        Require(record && record->number == number && record->organisation == organisation,
                "a quoted organisation comes back as written");
    }
    Require(table->Find(0x010203ffu)->number == 1, "the range before ends where it should");
    Require(table->Find(0x01020500u)->number == 2, "the range after starts where it should");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckAnyFile(input);
    CheckOrganisationRoundTrip(input);
    return 0;
}
