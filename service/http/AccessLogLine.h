#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace service {

// The access log's line for one answered request: peer "METHOD target" status bytes.
// The method is upper-cased; control characters, non-ASCII bytes and quotes in the
// request's texts become '?', and each text is cut after 200 characters, so a client
// cannot forge lines or fill the log.
std::string AccessLogLine(std::string_view peer, std::string_view method, std::string_view target,
                          int status, std::size_t bodyBytes);

}  // namespace service
