// The compiled table file the service maps at start: any file contents. A file is either
// refused with a DataError or its tables answer lookups without reading outside the
// mapping, whatever their offsets and lengths say.
#include "fuzz/Require.h"
#include "service/core/IpAddress.h"
#include "service/core/data/AsnTable.h"
#include "service/core/data/CountryRangeTable.h"
#include "service/core/data/DataError.h"
#include "service/core/data/TableFile.h"
#include "service/core/names/CarrierNames.h"
#include "service/core/names/CityNames.h"
#include "service/core/names/RegionNames.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// Every byte of an answer is read, so that one pointing past the mapping faults here.
void Touch(std::string_view text) {
    unsigned sum = 0;
    for (const char c : text) sum += static_cast<unsigned char>(c);
    Require(sum <= text.size() * 255, "read");
}

// Asks each table about a few keys; a table whose section is missing or of the wrong size
// is refused on its own.
void AskEveryTable(const service::TableFile& file) {
    try {
        const service::AsnTable asn(file);
        for (const char* text : {"0.0.0.0", "8.8.8.8", "255.255.255.255", "::", "240e::1",
                                 "ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff"}) {
            const service::IpAddress address = *service::ParseIpAddress(text);
            if (const auto record = asn.Find(address)) {
                Touch(record->organisation);
                Require(record->range.Holds(address), "the range found holds the address");
            }
        }
    } catch (const service::DataError&) {
    }
    try {
        const service::CountryRangeTable countries(file);
        for (const char* text : {"0.0.0.0", "8.8.8.8", "::", "240e::1"}) {
            const service::IpAddress address = *service::ParseIpAddress(text);
            if (const auto match = countries.FindRange(address)) {
                Touch(match->code);
                Require(match->range.Holds(address), "the range found holds the address");
            }
        }
    } catch (const service::DataError&) {
    }
    try {
        const service::RegionNames regions(file);
        Touch(regions.Find("CN", "Guangdong"));
        Touch(regions.Find("", "x"));
    } catch (const service::DataError&) {
    }
    try {
        const service::CityNames cities(file);
        Touch(cities.Find("CN", "Guangzhou (Yuexiu Qu)", {23.1, 113.3}));
    } catch (const service::DataError&) {
    }
    try {
        const service::CarrierNames carriers(file);
        Touch(carriers.Find(4134));
        Touch(carriers.Find(0));
    } catch (const service::DataError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int descriptor = memfd_create("tables", MFD_CLOEXEC);
    Require(descriptor >= 0, "a memory file");
    Require(write(descriptor, data, size) == static_cast<ssize_t>(size), "written");
    const std::string path = "/proc/self/fd/" + std::to_string(descriptor);
    try {
        const service::TableFile file(path);
        AskEveryTable(file);
    } catch (const service::DataError&) {
    }
    close(descriptor);
    return 0;
}
