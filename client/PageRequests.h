#pragma once

#include "client/HttpRequest.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace client {

// The own-address request: a fresh request object for this call alone, "POST" to
// url with no body and no header of ours; the answer converted as a whole page.
QString PostForPage(const HttpRequestFactory& createRequest, const QString& url);
// The same on a fresh request object the caller made for this call alone (and may abort).
QString PostForPage(HttpRequest& request, const QString& url);

// "ip=" + address + "&action=2", the address as given (ASCII).
QByteArray QueryBody(const QString& address);

// Preparation stage of the query: a fresh request object, opened "POST" on the query
// page with the form Content-Type set. Nothing is sent yet.
std::unique_ptr<HttpRequest> PrepareQueryRequest(const HttpRequestFactory& createRequest);

// Transfer stage: sends body on the prepared request and returns a copy of the
// response body (it stays valid when the request object is released).
QByteArray TransferQuery(HttpRequest& request, const QByteArray& body);

}  // namespace client
