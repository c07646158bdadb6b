// Addresses as wherix-lookup and the JSON path read them: any text. What is read is written
// in its canonical form, which reads back as the same address; the canonical form of an
// IPv6 address is what the C library also reads as it.
#include "fuzz/Require.h"
#include "service/core/IpAddress.h"

#include <arpa/inet.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto address = service::ParseIpAddress(text);
    if (!address) return 0;
    const std::string canonical = service::FormatIpAddress(*address);
    const auto again = service::ParseIpAddress(canonical);
    Require(again && *again == *address, "the canonical form reads back as the same address");
    Require(service::FormatIpAddress(*again) == canonical, "the canonical form is stable");
    if (const auto* v6 = std::get_if<service::Ipv6Address>(&*address)) {
        in6_addr bytes{};
        Require(inet_pton(AF_INET6, canonical.c_str(), &bytes) == 1,
                "the C library reads the canonical form");
        for (int i = 0; i < 8; ++i) {
            Require(bytes.s6_addr[i] == static_cast<std::uint8_t>(v6->high >> (56 - 8 * i)) &&
                        bytes.s6_addr[8 + i] == static_cast<std::uint8_t>(v6->low >> (56 - 8 * i)),
                    "the C library reads the same address");
        }
    }
    return 0;
}
