// A registry's delegation file as wherix-update downloads it: any contents. A file is either
// refused with an UpdateError or its blocks are added to a table that then answers.
#include "fuzz/Require.h"
#include "service/update/DelegationFile.h"
#include "service/update/UpdateError.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int descriptor = memfd_create("delegated", MFD_CLOEXEC);
    Require(descriptor >= 0, "a memory file");
    Require(write(descriptor, data, size) == static_cast<ssize_t>(size), "written");
    service::CountryRangeTable table;
    try {
        const std::string date =
            update::AddDelegations("/proc/self/fd/" + std::to_string(descriptor), table);
        Require(date.size() == 8, "a date of eight digits");
        table.Finish();
        Require(table.size() > 0, "a file with blocks gives ranges");
        for (const char* text : {"0.0.0.0", "1.0.0.1", "255.255.255.255", "::", "240e::1"}) {
            const std::string_view code = table.Find(*service::ParseIpAddress(text));
            Require(code.empty() || code.size() == 2, "a two-letter code");
        }
    } catch (const update::UpdateError&) {
    }
    close(descriptor);
    return 0;
}
