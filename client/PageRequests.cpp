#include "client/PageRequests.h"

#include "client/PageDecoding.h"
#include "client/ServiceHost.h"

#include <QUrl>

namespace client {

QString PostForPage(const HttpRequestFactory& createRequest, const QString& url) {
    const std::unique_ptr<HttpRequest> request = createRequest();
    return PostForPage(*request, url);
}

QString PostForPage(HttpRequest& request, const QString& url) {
    request.open("POST", url);
    request.send();
    return ConvertWholePage(request.responseBody());
}

QByteArray QueryBody(const QString& address) {
    // A checked address is digits and dots, which percent-encoding leaves as they are; anything
    // else cannot add fields to the form.
    return "ip=" + QUrl::toPercentEncoding(address) + "&action=2";
}

std::unique_ptr<HttpRequest> PrepareQueryRequest(const HttpRequestFactory& createRequest) {
    std::unique_ptr<HttpRequest> request = createRequest();
    request->open("POST", ServiceUrl(QString::fromUtf16(kQueryPath)));
    request->setRequestHeader("Content-Type", "application/x-www-form-urlencoded");
    return request;
}

QByteArray TransferQuery(HttpRequest& request, const QByteArray& body) {
    request.send(body);
    return request.responseBody();
}

}  // namespace client
