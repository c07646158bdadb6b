#include "LookupRoutes.h"

#include "ClientAddress.h"
#include "FormFields.h"
#include "GbkEncoding.h"
#include "Ipv4Address.h"
#include "OutwardAddress.h"
#include "Pages.h"

#include <algorithm>
#include <array>

namespace service {
namespace {

constexpr std::size_t kFormBodyLimit = 4096;

constexpr char kPageType[] = "text/html; charset=gbk";
constexpr char kTextType[] = "text/plain; charset=utf-8";

// The methods the service recognises; a request with any other token is malformed as far
// as the service is concerned.
constexpr std::array<std::string_view, 10> kKnownMethods = {
    "GET", "HEAD", "POST", "PUT", "DELETE", "CONNECT", "OPTIONS", "TRACE", "PATCH", "PRI"};

bool IsKnownMethod(std::string_view method) {
    return std::any_of(kKnownMethods.begin(), kKnownMethods.end(),
                       [&](std::string_view known) { return EqualsIgnoringCase(method, known); });
}

// Whether the method is one of an Allow list such as "GET, HEAD, POST".
bool IsAllowed(std::string_view method, std::string_view allow) {
    while (!allow.empty()) {
        const std::size_t comma = allow.find(',');
        if (EqualsIgnoringCase(method, allow.substr(0, comma))) return true;
        allow = comma == std::string_view::npos ? std::string_view() : allow.substr(comma + 2);
    }
    return false;
}

HttpAnswer Text(int status, std::string body) {
    return HttpAnswer{status, {{"Content-Type", kTextType}}, std::move(body), false};
}

HttpAnswer Page(std::string_view utf8Page) {
    return HttpAnswer{200, {{"Content-Type", kPageType}}, EncodeGbk(utf8Page), false};
}

}  // namespace

struct LookupRoutes::Route {
    std::string_view path;
    std::string_view allow;  // as the Allow header lists them
    std::size_t bodyLimit;
    HttpAnswer (LookupRoutes::*answer)(const HttpRequest&) const;
};

LookupRoutes::LookupRoutes(const ReloadableData& data, bool trustProxy)
    : m_data(data), m_trustProxy(trustProxy) {}

const LookupRoutes::Route* LookupRoutes::Find(std::string_view path) {
    static constexpr std::array<Route, 3> kRoutes = {{
        {"/ips.asp", "GET, HEAD, POST", kFormBodyLimit, &LookupRoutes::AnswerOwnAddress},
        {"/ips8.asp", "GET, HEAD, POST", kFormBodyLimit, &LookupRoutes::AnswerQuery},
        {"/healthz", "GET, HEAD", kFormBodyLimit, &LookupRoutes::AnswerHealth},
    }};
    const auto found = std::find_if(kRoutes.begin(), kRoutes.end(),
                                    [&](const Route& route) { return route.path == path; });
    return found == kRoutes.end() ? nullptr : &*found;
}

std::size_t LookupRoutes::BodyLimit(std::string_view path) const {
    const Route* route = Find(path);
    return route != nullptr ? route->bodyLimit : kFormBodyLimit;
}

HttpAnswer LookupRoutes::Answer(const HttpRequest& request) const {
    if (!IsKnownMethod(request.method)) {
        HttpAnswer refused{400, {}, {}, true};
        return refused;
    }
    const Route* route = Find(request.path);
    if (route == nullptr) return Text(404, "not found\n");
    if (!IsAllowed(request.method, route->allow)) {
        HttpAnswer refused = Text(405, "method not allowed\n");
        refused.headers.emplace_back("Allow", route->allow);
        return refused;
    }
    return (this->*route->answer)(request);
}

HttpAnswer LookupRoutes::BodyTooLarge() {
    return HttpAnswer{413, {}, {}, true};
}

HttpAnswer LookupRoutes::UnsupportedTransferEncoding() {
    return HttpAnswer{501, {}, {}, true};
}

HttpAnswer LookupRoutes::AnswerOwnAddress(const HttpRequest& request) const {
    const std::string caller = AddressForOwnPage(CallerAddress(
        request.peer, request.LastHeader("X-Forwarded-For").value_or(""), m_trustProxy));
    const auto address = ParseIpv4(caller);
    return Page(OwnAddressPage(
        caller, address ? m_data.Current()->Answer(*address) : UniformAnswer(kUnknownText)));
}

HttpAnswer LookupRoutes::AnswerQuery(const HttpRequest& request) const {
    const std::string_view fields =
        EqualsIgnoringCase(request.method, "POST") ? request.body : request.query;
    const auto field = FormField(fields, "ip");
    if (!field || field->empty()) return Page(QueryPage("", MissingAddressAnswer()));
    if (const auto address = ParseIpv4(*field)) {
        return Page(QueryPage(FormatIpv4(*address), m_data.Current()->Answer(*address)));
    }
    return Page(QueryPage("", InvalidAddressAnswer()));
}

HttpAnswer LookupRoutes::AnswerHealth(const HttpRequest&) const {
    return Text(200, "ok");
}

}  // namespace service
