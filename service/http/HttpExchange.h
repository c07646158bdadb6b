#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace service {

using HeaderField = std::pair<std::string_view, std::string_view>;

// One request as the service sees it once it has arrived whole. The views point into
// storage the caller keeps for as long as the request is being answered.
struct IncomingRequest {
    std::string_view method;           // as sent, in any letter case
    std::string_view path;             // the target up to '?'
    std::string_view query;            // the target after '?', not decoded
    std::vector<HeaderField> headers;  // in the order received
    std::string_view body;
    std::string_view peer;  // the connection's peer address as text

    // The value of the last header line called name (any letter case), if any.
    std::optional<std::string_view> LastHeader(std::string_view name) const;
};

struct OutgoingResponse {
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;  // Content-Type, Allow
    std::string body;
    // The connection ends after this answer: what follows the request cannot be trusted
    // to start the next one.
    bool closeConnection = false;
};

// Whether two header names or method tokens are equal ignoring ASCII letter case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace service
