// What the service reads out of a request: the form field ip of a body or query string,
// the dotted quad in it, and the caller's address from the peer and X-Forwarded-For. The
// whole input is a body; its first line is also a peer address, the rest a header value.
#include "fuzz/Require.h"
#include "service/core/Ipv4Address.h"
#include "service/http/ClientAddress.h"
#include "service/http/FormFields.h"

#include <arpa/inet.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

std::string PercentEncoded(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        encoded +=
            byte == ' ' ? std::string("+") : std::string{'%', kHex[byte >> 4], kHex[byte & 15]};
    }
    return encoded;
}

bool IsIpv4(std::string_view text) {
    return service::ParseIpv4(text).has_value();
}

bool IsIpv6(std::string_view text) {
    const std::string terminated(text);
    in6_addr parsed{};
    return terminated.find('\0') == std::string::npos &&
           inet_pton(AF_INET6, terminated.c_str(), &parsed) == 1;
}

void CheckFormField(std::string_view body) {
    const auto field = service::FormField(body, "ip");
    if (field) {
        Require(field->size() <= body.size(), "decoding never lengthens a value");
        if (const auto address = service::ParseIpv4(*field)) {
            const std::string canonical = service::FormatIpv4(*address);
            Require(service::ParseIpv4(canonical) == address, "the canonical form reads back");
            Require(canonical.size() <= field->size(), "the canonical form drops leading zeros");
        }
    }
    // Any value, fully escaped, comes back as it was; and the first field called ip wins.
    const std::string posted = "ip=" + PercentEncoded(body);
    Require(service::FormField(posted + "&action=2", "ip") == body, "an escaped value round trips");
    Require(service::FormField(std::string(body) + "&" + posted, "ip") == (field ? *field : body),
            "the first field wins");
}

void CheckCallerAddress(std::string_view peer, std::string_view forwardedFor) {
    const std::string direct = service::CallerAddress(peer, forwardedFor, false);
    Require(direct == service::CallerAddress(peer, "", true),
            "without trust the header is ignored");
    const std::string caller = service::CallerAddress(peer, forwardedFor, true);
    if (caller == direct) return;
    Require(service::IsLoopbackPeer(peer), "only a loopback proxy is trusted");
    Require(IsIpv4(caller) || IsIpv6(caller), "a forwarded value shown is an address");
    Require(forwardedFor.find(caller) != std::string_view::npos ||
                forwardedFor.find("::ffff:" + caller) != std::string_view::npos,
            "a forwarded value shown comes from the header");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckFormField(input);
    const std::size_t lineEnd = input.find('\n');
    if (lineEnd != std::string_view::npos) {
        CheckCallerAddress(input.substr(0, lineEnd), input.substr(lineEnd + 1));
    } else {
        CheckCallerAddress("127.0.0.1", input);
    }
    return 0;
}
