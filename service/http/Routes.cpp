#include "service/http/Routes.h"

#include "service/core/Ipv4Address.h"
#include "service/http/ClientAddress.h"
#include "service/http/FormFields.h"
#include "service/http/HeadChecks.h"
#include "service/http/HealthReport.h"
#include "service/http/JsonReplies.h"
#include "service/pages/CodePage936Encoding.h"
#include "service/pages/Pages.h"

#include <algorithm>
#include <array>

namespace service {
namespace {

constexpr std::size_t kFormBodyLimit = 4096;

constexpr char kPageType[] = "text/html; charset=gbk";
constexpr char kTextType[] = "text/plain; charset=utf-8";
constexpr std::string_view kJsonPath = "/json";

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

OutgoingResponse Text(int status, std::string body) {
    return OutgoingResponse{status, {{"Content-Type", kTextType}}, std::move(body), false};
}

// A refusal that says why: in JSON on the JSON path, as a line of text elsewhere.
OutgoingResponse Said(std::string_view path, int status, std::string_view why) {
    if (path == kJsonPath) {
        JsonReply reply = JsonError(status, why);
        return OutgoingResponse{
            status, {{"Content-Type", kJsonType}}, std::move(reply.body), false};
    }
    return Text(status, std::string(why) + "\n");
}

OutgoingResponse Page(std::string_view utf8Page) {
    return OutgoingResponse{200, {{"Content-Type", kPageType}}, EncodeCodePage936(utf8Page), false};
}

// Each serving thread keeps the answer parts it made, as a worker of many addresses does;
// most queries then cost little more than finding their records. Up to this many parts of
// a kind, some 10 MB a thread: as fast on random addresses as four times more.
constexpr std::size_t kPartsPerThread = 16384;

AnswerView AnswerFrom(const GeoData& data, const IpAddress& address) {
    thread_local AnswerMemo memo(kPartsPerThread);
    return data.Answer(address, memo);
}

}  // namespace

struct Routes::Route {
    std::string_view path;
    std::string_view allow;  // as the Allow header lists them
    std::size_t bodyLimit;
    OutgoingResponse (Routes::*answer)(const IncomingRequest&) const;
};

Routes::Routes(const ReloadableData& data, bool trustProxy, OutwardAddressSource outwardAddress)
    : m_data(data), m_trustProxy(trustProxy), m_outwardAddress(std::move(outwardAddress)) {}

const Routes::Route* Routes::Find(std::string_view path) {
    static constexpr std::array<Route, 4> kRoutes = {{
        {"/ips.asp", "GET, HEAD, POST", kFormBodyLimit, &Routes::AnswerOwnAddress},
        {"/ips8.asp", "GET, HEAD, POST", kFormBodyLimit, &Routes::AnswerQuery},
        {"/healthz", "GET, HEAD", kFormBodyLimit, &Routes::AnswerHealth},
        {kJsonPath, "GET, HEAD, POST", kMaxBatchBody, &Routes::AnswerJsonPath},
    }};
    const auto found = std::find_if(kRoutes.begin(), kRoutes.end(),
                                    [&](const Route& route) { return route.path == path; });
    return found == kRoutes.end() ? nullptr : &*found;
}

std::size_t Routes::BodyLimit(std::string_view path) const {
    const Route* route = Find(path);
    return route != nullptr ? route->bodyLimit : kFormBodyLimit;
}

OutgoingResponse Routes::Answer(const IncomingRequest& request) const {
    if (!IsKnownMethod(request.method)) return Refusal(request.path, 400);
    const Route* route = Find(request.path);
    if (route == nullptr) return Text(404, "not found\n");
    if (!IsAllowed(request.method, route->allow)) {
        OutgoingResponse refused = Said(request.path, 405, "method not allowed");
        refused.headers.emplace_back("Allow", route->allow);
        return refused;
    }
    return (this->*route->answer)(request);
}

OutgoingResponse Routes::Refusal(std::string_view path, int status) const {
    const auto reason = [&]() -> std::string {
        switch (status) {
            case 413:
                return "the request body is larger than " + std::to_string(BodyLimit(path)) +
                       " bytes";
            case 414:
                return "the request target is too long";
            case 431:
                return "the request head is larger than " + std::to_string(kMostHeadBytes) +
                       " bytes";
            case 501:
                return "the request body's transfer coding is not supported";
            default:
                return "malformed request";
        }
    };
    OutgoingResponse refused = Said(path, status, reason());
    refused.closeConnection = true;
    return refused;
}

std::string Routes::CallerOf(const IncomingRequest& request) const {
    return AddressForOwnPage(
        CallerAddress(request.peer, request.LastHeader("X-Forwarded-For").value_or(""),
                      m_trustProxy),
        m_outwardAddress);
}

OutgoingResponse Routes::AnswerOwnAddress(const IncomingRequest& request) const {
    const std::string caller = CallerOf(request);
    const auto address = ParseIpv4(caller);
    return Page(OwnAddressPage(
        caller, address ? AnswerFrom(*m_data.Current(), *address) : UniformAnswer(kUnknownText)));
}

OutgoingResponse Routes::AnswerQuery(const IncomingRequest& request) const {
    const std::string_view fields =
        EqualsIgnoringCase(request.method, "POST") ? request.body : request.query;
    const auto field = FormField(fields, "ip");
    if (!field || field->empty()) return Page(QueryPage("", MissingAddressAnswer()));
    if (const auto address = ParseIpv4(*field)) {
        return Page(QueryPage(FormatIpv4(*address), AnswerFrom(*m_data.Current(), *address)));
    }
    return Page(QueryPage("", InvalidAddressAnswer()));
}

OutgoingResponse Routes::AnswerJsonPath(const IncomingRequest& request) const {
    const std::shared_ptr<const GeoData> data = m_data.Current();
    JsonReply reply;
    if (EqualsIgnoringCase(request.method, "POST")) {
        reply = AnswerJsonBatch(*data, request.body);
    } else if (const auto field = FormField(request.query, "ip")) {
        reply = AnswerJsonAddress(*data, *field);
    } else {
        reply = AnswerJsonCaller(*data, CallerOf(request));
    }
    return OutgoingResponse{
        reply.status, {{"Content-Type", kJsonType}}, std::move(reply.body), false};
}

OutgoingResponse Routes::AnswerHealth(const IncomingRequest&) const {
    return Text(200, HealthText(m_data.Current()->record()));
}

}  // namespace service
