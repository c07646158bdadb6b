// The service's answer to any request, through the function its HTTP server calls once a
// request has arrived whole. The input is the request as raw HTTP/1.1 text (request line,
// header lines, blank line, body), cut into its parts as the server's HTTP library hands
// them over; it is answered once for a direct caller and once for a trusted proxy on this
// machine. Pages must be what the program can read: code page 936 it decodes, three items;
// JSON answers must be JSON, an error one an object that says the error. The head is also
// put through the checks the server makes before the routes see it; a refusal must end
// the connection and say why, in JSON on the JSON path. (The routes answer every input
// anyway, so that inputs the checks would refuse still reach them.)
#include "client/HttpRequest.h"
#include "client/PageDecoding.h"
#include "client/PageScraping.h"
#include "fuzz/Require.h"
#include "service/core/GeoData.h"
#include "service/core/Ipv4Address.h"
#include "service/http/HeadChecks.h"
#include "service/http/HttpExchange.h"
#include "service/http/ReloadableData.h"
#include "service/http/Routes.h"

#include <QByteArray>
#include <QString>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace {

constexpr std::string_view kPageType = "text/html; charset=gbk";
constexpr std::string_view kJsonType = "application/json; charset=utf-8";

// Cuts off and returns the text up to the first separator (all of it when there is none).
std::string_view TakeUntil(std::string_view& text, std::string_view separator) {
    const std::size_t end = text.find(separator);
    const std::string_view taken = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + separator.size());
    return taken;
}

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

service::IncomingRequest ReadRequest(std::string_view raw, std::string_view peer) {
    service::IncomingRequest request;
    std::string_view line = TakeUntil(raw, "\r\n");
    request.method = TakeUntil(line, " ");
    std::string_view target = TakeUntil(line, " ");
    request.path = TakeUntil(target, "?");
    request.query = target;
    for (std::string_view header = TakeUntil(raw, "\r\n"); !header.empty();
         header = TakeUntil(raw, "\r\n")) {
        const std::string_view name = TakeUntil(header, ":");
        request.headers.emplace_back(name, Trimmed(header));
    }
    request.body = raw;
    request.peer = peer;
    return request;
}

// The head as the server's checks see it: version, header lines, size up to the body.
service::RequestHead HeadOf(std::string_view raw, const service::IncomingRequest& request) {
    const std::size_t bytes = raw.size() - request.body.size();
    std::string_view line = TakeUntil(raw, "\r\n");
    TakeUntil(line, " ");
    const std::string_view target = TakeUntil(line, " ");
    return service::RequestHead{target, line, request.headers, bytes};
}

std::optional<std::string_view> HeaderOf(const service::OutgoingResponse& answer,
                                         std::string_view name) {
    const auto found = std::find_if(answer.headers.begin(), answer.headers.end(),
                                    [&](const auto& header) { return header.first == name; });
    if (found == answer.headers.end()) return std::nullopt;
    return found->second;
}

QString ReadPage(const std::string& body) {
    try {
        return client::DecodeResponseBytes(
            QByteArray(body.data(), static_cast<qsizetype>(body.size())), [] {});
    } catch (const client::LookupFailure&) {
        Require(false, "the program decodes every page");
    }
    return QString();
}

void CheckPage(const service::IncomingRequest& request, const service::OutgoingResponse& answer) {
    const QString page = ReadPage(answer.body);
    client::ScrapeState state;
    try {
        if (request.path == "/ips8.asp") {
            const QString items = client::ScrapeQueryPage(page, state);
            Require(items.count(QStringLiteral("\r\n")) == 2, "the query page has three items");
        } else {
            const QString address = client::ScrapeOwnAddress(page, state);
            Require(service::ParseIpv4(address.toStdString()) || address.contains(u':'),
                    "the own-address page shows an address");
            client::ScrapeOwnLocation(page, state);
        }
    } catch (const client::LookupFailure&) {
        Require(false, "the program finds its markers in every page");
    }
}

// The JSON answer's value; null for a head request, which has no body to read.
nlohmann::json JsonOf(const service::OutgoingResponse& answer) {
    Require(answer.body.empty() || !answer.closeConnection || answer.status >= 400,
            "a JSON answer keeps the connection unless it refuses the request");
    if (answer.body.empty()) return nullptr;
    const nlohmann::json value = nlohmann::json::parse(answer.body, nullptr, false);
    Require(!value.is_discarded(), "a JSON answer is JSON");
    return value;
}

void CheckRefusal(const service::Routes& routes, const service::IncomingRequest& request,
                  int status) {
    Require(status == 400 || status == 413 || status == 414 || status == 431 || status == 501,
            "a head is refused with a status of its own");
    const service::OutgoingResponse answer = routes.Refusal(request.path, status);
    Require(answer.status == status && answer.closeConnection, "a refusal ends the connection");
    if (request.path == "/json") {
        Require(HeaderOf(answer, "Content-Type") == kJsonType, "the JSON path refuses in JSON");
        Require(JsonOf(answer).contains("error"), "a refusal says why");
    } else {
        Require(!answer.body.empty(), "a refusal says why");
    }
}

void CheckAnswer(const service::Routes& routes, const service::IncomingRequest& request) {
    const service::OutgoingResponse answer = routes.Answer(request);
    const bool json = HeaderOf(answer, "Content-Type") == kJsonType;
    Require(!json || request.path == "/json", "only the JSON path answers JSON");
    Require(json || request.path != "/json", "every answer on the JSON path is JSON");
    switch (answer.status) {
        case 200:
            if (HeaderOf(answer, "Content-Type") == kPageType) {
                CheckPage(request, answer);
            } else if (json) {
                const nlohmann::json value = JsonOf(answer);
                Require(value.is_null() || value.is_object() || value.is_array(),
                        "a JSON answer is an object or a batch");
            } else {
                Require(request.path == "/healthz" && answer.body.starts_with("ok\n"),
                        "only health is text");
            }
            break;
        case 400:
            if (json) {
                const nlohmann::json value = JsonOf(answer);
                Require(value.is_null() || (value.is_object() && value.contains("error")),
                        "a refused JSON request is told why");
            } else {
                Require(answer.closeConnection, "a malformed request ends the connection");
            }
            break;
        case 405:
            Require(HeaderOf(answer, "Allow").has_value(), "a refused method is told the allowed");
            break;
        case 404:
            Require(request.path != "/ips.asp" && request.path != "/ips8.asp" &&
                        request.path != "/healthz" && request.path != "/json",
                    "only unknown paths are not found");
            break;
        default:
            Require(false, "the status is one the service answers with");
    }
    Require(routes.Answer(request).body == answer.body, "the same request, the same answer");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const service::ReloadableData geoData(
        std::make_shared<const service::GeoData>(SERVICE_FIXTURES));
    static const service::Routes direct(geoData, false);
    static const service::Routes behindProxy(geoData, true);

    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    const service::IncomingRequest request = ReadRequest(raw, "203.0.113.9");
    if (const auto refusal =
            service::HeadRefusal(HeadOf(raw, request), direct.BodyLimit(request.path))) {
        CheckRefusal(direct, request, *refusal);
    }
    CheckAnswer(direct, request);
    CheckAnswer(behindProxy, ReadRequest(raw, "127.0.0.1"));
    return 0;
}
