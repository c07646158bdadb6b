#include "service/update/DelegationFile.h"

#include "service/core/IpAddress.h"
#include "service/core/Ipv4Address.h"
#include "service/core/WholeNumber.h"
#include "service/update/UpdateError.h"

#include <cctype>
#include <fstream>
#include <vector>

namespace update {
namespace {

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t bar = line.find('|', start);
        fields.push_back(line.substr(start, bar - start));
        if (bar == std::string_view::npos) return fields;
        start = bar + 1;
    }
}

// The block a record line gives: IPv4 as a first address and a count of addresses, IPv6
// as a prefix and its length.
bool AddBlock(std::string_view type, std::string_view start, std::string_view value,
              std::string_view country, service::CountryRangeTable& table) {
    const auto size = service::WholeNumber<std::uint64_t>(value);
    if (!size) return false;
    if (type == "ipv4") {
        const auto first = service::ParseIpv4(start);
        if (!first || *size == 0 || *size - 1 > 0xFFFFFFFFu - *first) return false;
        table.Add(*first, static_cast<std::uint32_t>(*first + (*size - 1)), country);
        return true;
    }
    const auto first = service::ParseIpv6(start);
    if (!first || *size > 128) return false;
    table.Add(*first, service::LastInNetwork(*first, static_cast<unsigned>(*size)), country);
    return true;
}

}  // namespace

std::string AddDelegations(const std::string& path, service::CountryRangeTable& table) {
    std::ifstream in(path);
    if (!in) throw UpdateError(path + ": cannot read");
    std::string date;
    std::uint64_t announced = 0;
    std::uint64_t records = 0;
    std::uint64_t blocks = 0;
    std::string line;
    for (std::size_t number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.front() == '#') continue;
        const auto fail = [&](const char* what) {
            return UpdateError(path + ":" + std::to_string(number) + ": " + what);
        };
        const std::vector<std::string_view> fields = Fields(line);
        if (date.empty()) {
            // version|registry|serial|records|startdate|enddate|UTCoffset
            const auto count =
                fields.size() >= 4 ? service::WholeNumber<std::uint64_t>(fields[3]) : std::nullopt;
            if (!count || fields[2].size() != 8 ||
                !service::WholeNumber<std::uint64_t>(fields[2])) {
                throw fail("not a delegation file's version line");
            }
            date = fields[2];
            announced = *count;
            continue;
        }
        if (fields.size() >= 6 && fields[1] == "*" && fields[5] == "summary") continue;
        if (fields.size() < 7) throw fail("not a delegation record");
        ++records;
        const std::string_view type = fields[2];
        const std::string_view status = fields[6];
        if ((type != "ipv4" && type != "ipv6") || (status != "allocated" && status != "assigned")) {
            continue;
        }
        const std::string_view country = fields[1];
        if (country.size() != 2 || !std::isalpha(static_cast<unsigned char>(country[0])) ||
            !std::isalpha(static_cast<unsigned char>(country[1]))) {
            throw fail("a block without a country");
        }
        if (!AddBlock(type, fields[3], fields[4], fields[1], table))
            throw fail("a malformed block");
        ++blocks;
    }
    if (in.bad()) throw UpdateError(path + ": cannot read");
    if (date.empty()) throw UpdateError(path + ": empty, not a delegation file");
    if (records != announced) {
        throw UpdateError(path + ": " + std::to_string(records) +
                          " records where its first line says " + std::to_string(announced) +
                          " (cut short?)");
    }
    if (blocks == 0) throw UpdateError(path + ": no address block delegated");
    return date;
}

}  // namespace update
