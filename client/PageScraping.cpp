#include "client/PageScraping.h"

#include "client/HttpRequest.h"
#include "service/pages/PageMarkers.h"

#include <string_view>

namespace client {
namespace {

QString Marker(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

const QString kAddressStart = Marker(service::markers::kAddressStart);
const QString kAddressEnd = Marker(service::markers::kAddressEnd);
const QString kLocationStart = Marker(service::markers::kLocationStart);
const QString kLocationEnd = Marker(service::markers::kLocationEnd);
const QString kItemStart = Marker(service::markers::kItemStart);
const QString kItemEnd = Marker(service::markers::kItemEnd);
const QString kLineBreak = QStringLiteral(u"\r\n");

// How far a position moves to skip the marker.
qint32 Length(const QString& marker) {
    return static_cast<qint32>(marker.size());
}

}  // namespace

qint32 FindFrom(qint32 start, const QString& text, const QString& marker) {
    if (start < 1) throw LookupFailure("search from a position before the text");
    if (start > text.size()) return 0;
    return static_cast<qint32>(text.indexOf(marker, start - 1) + 1);
}

QString CutSpan(const QString& text, qint32 start, qint32 length) {
    if (start < 1) throw LookupFailure("cut from a position before the text");
    if (length < 0) throw LookupFailure("the page lacks a marker");
    if (start > text.size()) return QString();
    return text.mid(start - 1, length);
}

QString ScrapeOwnAddress(const QString& page, ScrapeState& state) {
    state.lngStart = FindFrom(1, page, kAddressStart) + Length(kAddressStart);
    state.lngEnd = FindFrom(state.lngStart, page, kAddressEnd);
    return CutSpan(page, state.lngStart, state.lngEnd - state.lngStart);
}

QString ScrapeOwnLocation(const QString& page, ScrapeState& state) {
    // Searches from the start of the address, not from after it.
    state.lngStart = FindFrom(state.lngStart, page, kLocationStart) + Length(kLocationStart);
    state.lngEnd = FindFrom(state.lngStart, page, kLocationEnd);
    return CutSpan(page, state.lngStart, state.lngEnd - state.lngStart);
}

QString ScrapeQueryPage(const QString& page, ScrapeState& state) {
    state.lngStart = FindFrom(1, page, kItemStart) + Length(kItemStart);
    state.lngEnd = FindFrom(1, page, kItemEnd);
    state.strResult = CutSpan(page, state.lngStart, state.lngEnd - state.lngStart) + kLineBreak;
    for (int item = 2; item <= 3; ++item) {
        // Items 2 and 3 start right after the previous "</li>" and its following "<li>".
        const qint32 previousEnd = state.lngEnd;
        state.lngStart = previousEnd + Length(kItemEnd) + Length(kItemStart);
        state.lngEnd = FindFrom(previousEnd + 1, page, kItemEnd);
        state.strResult += CutSpan(page, state.lngStart, state.lngEnd - state.lngStart);
        if (item < 3) state.strResult += kLineBreak;
    }
    return state.strResult;
}

}  // namespace client
