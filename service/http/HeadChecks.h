#pragma once

#include "service/http/HttpExchange.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace service {

// The longest request head (request line and header lines) the service reads; longer ones
// get 431, as the documentation says.
inline constexpr std::size_t kMostHeadBytes = 8 * 1024;

// A request head as the HTTP library hands it over, before the body.
struct RequestHead {
    std::string_view target;           // as the request line has it
    std::string_view version;          // "HTTP/1.1"
    std::vector<HeaderField> headers;  // in the order received
    std::size_t bytes = 0;             // the head's size as received
};

// The status a request head is refused with before anything else is done with it, or none
// when it may be read and answered:
//   414  the request line alone is longer than kMostHeadBytes (as nginx answers);
//   431  the head is longer than kMostHeadBytes;
//   400  framing that could make the service and a proxy in front of it read different
//        requests out of the same bytes: two Content-Length headers that differ or one that
//        is no number, Content-Length with Transfer-Encoding, two Transfer-Encoding
//        headers, a header name that is empty or no token (a space before the colon), a
//        header value with a control character (NUL, a bare CR), and an HTTP/1.1 request
//        without exactly one Host;
//   501  a Transfer-Encoding other than chunked;
//   413  a Content-Length above bodyLimit.
// Every refusal ends the connection: what follows the head cannot be trusted.
std::optional<int> HeadRefusal(const RequestHead& head, std::size_t bodyLimit);

}  // namespace service
