#pragma once

#include "HttpExchange.h"
#include "ReloadableData.h"

#include <cstddef>
#include <string_view>

namespace service {

// What the lookup service answers, without any socket:
//   /ips.asp   the caller's own address and its location (GET, HEAD, POST)
//   /ips8.asp  the query page for the form field ip (POST body, or the query string of a
//              GET or HEAD)
//   /healthz   "ok" (GET, HEAD)
// Pages go out in code page 936. Methods are matched in any letter case. Another method
// on these paths gets 405 with Allow, any other path 404, a method token the service does
// not know at all 400.
class LookupRoutes {
public:
    LookupRoutes(const ReloadableData& data, bool trustProxy);

    // The largest request body the path takes; a longer one is refused with
    // BodyTooLarge() before it is read further.
    std::size_t BodyLimit(std::string_view path) const;

    HttpAnswer Answer(const HttpRequest& request) const;

    static HttpAnswer BodyTooLarge();
    // A request whose body is framed in a way the service does not read.
    static HttpAnswer UnsupportedTransferEncoding();

private:
    struct Route;

    HttpAnswer AnswerOwnAddress(const HttpRequest& request) const;
    HttpAnswer AnswerQuery(const HttpRequest& request) const;
    HttpAnswer AnswerHealth(const HttpRequest& request) const;

    static const Route* Find(std::string_view path);

    const ReloadableData& m_data;
    bool m_trustProxy;
};

}  // namespace service
