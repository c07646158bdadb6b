#pragma once

#include "service/http/HttpExchange.h"
#include "service/http/OutwardAddress.h"
#include "service/http/ReloadableData.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace service {

// What the lookup service answers, without any socket:
//   /ips.asp   the caller's own address and its location (GET, HEAD, POST)
//   /ips8.asp  the query page for the form field ip (POST body, or the query string of a
//              GET or HEAD)
//   /healthz   "ok", then the data set's dates and sources (GET, HEAD)
//   /json      the lookup as JSON: ?ip=ADDR, without it the caller's address (GET, HEAD),
//              or a batch, a JSON array of addresses in the body (POST)
// Pages go out in code page 936. Methods are matched in any letter case. Another method
// on these paths gets 405 with Allow, any other path 404, a method token the service does
// not know at all 400. Every answer on the JSON path is JSON, refusals included.
class Routes {
public:
    // outwardAddress tells this machine's address to a caller on loopback.
    Routes(const ReloadableData& data, bool trustProxy,
           OutwardAddressSource outwardAddress = OutwardIpv4Address);

    // The largest request body the path takes; a longer one is refused with 413 before it
    // is read further.
    std::size_t BodyLimit(std::string_view path) const;

    OutgoingResponse Answer(const IncomingRequest& request) const;

    // The answer to a request refused before it reached its route (400, 413, 414, 431,
    // 501): a JSON error object on the JSON path, a line of text elsewhere; the connection
    // ends after it.
    OutgoingResponse Refusal(std::string_view path, int status) const;

private:
    struct Route;

    OutgoingResponse AnswerOwnAddress(const IncomingRequest& request) const;
    OutgoingResponse AnswerQuery(const IncomingRequest& request) const;
    OutgoingResponse AnswerHealth(const IncomingRequest& request) const;
    OutgoingResponse AnswerJsonPath(const IncomingRequest& request) const;
    // The caller as its own-address answers name it (this machine's outward address for a
    // loopback caller).
    std::string CallerOf(const IncomingRequest& request) const;

    static const Route* Find(std::string_view path);

    const ReloadableData& m_data;
    bool m_trustProxy;
    OutwardAddressSource m_outwardAddress;
};

}  // namespace service
