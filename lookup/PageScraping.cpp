#include "PageScraping.h"

#include "HttpRequest.h"

namespace lookup {
namespace {

// Each offset is the length of the text it skips.
constexpr qint32 kAfterAddressMarker = 2;   // full-width colon, "["
constexpr qint32 kAfterLocationMarker = 3;  // "from", full-width colon
constexpr qint32 kAfterItemStart = 4;       // "<li>"
constexpr qint32 kToNextItem = 9;           // "</li><li>"

const QString kAddressStart = QStringLiteral(u"：[");
const QString kAddressEnd = QStringLiteral(u"] ");
const QString kLocationStart = QStringLiteral(u"来自：");
const QString kLocationEnd = QStringLiteral(u"<br/>");
const QString kItemStart = QStringLiteral(u"<li>");
const QString kItemEnd = QStringLiteral(u"</li>");
const QString kLineBreak = QStringLiteral(u"\r\n");

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
    state.lngStart = FindFrom(1, page, kAddressStart) + kAfterAddressMarker;
    state.lngEnd = FindFrom(state.lngStart, page, kAddressEnd);
    return CutSpan(page, state.lngStart, state.lngEnd - state.lngStart);
}

QString ScrapeOwnLocation(const QString& page, ScrapeState& state) {
    // Searches from the start of the address, not from after it.
    state.lngStart = FindFrom(state.lngStart, page, kLocationStart) + kAfterLocationMarker;
    state.lngEnd = FindFrom(state.lngStart, page, kLocationEnd);
    return CutSpan(page, state.lngStart, state.lngEnd - state.lngStart);
}

QString ScrapeQueryPage(const QString& page, ScrapeState& state) {
    state.lngStart = FindFrom(1, page, kItemStart) + kAfterItemStart;
    state.lngEnd = FindFrom(1, page, kItemEnd);
    state.strResult = CutSpan(page, state.lngStart, state.lngEnd - state.lngStart) + kLineBreak;
    for (int item = 2; item <= 3; ++item) {
        // Items 2 and 3 start right after the previous "</li>" and its following "<li>".
        const qint32 previousEnd = state.lngEnd;
        state.lngStart = previousEnd + kToNextItem;
        state.lngEnd = FindFrom(previousEnd + 1, page, kItemEnd);
        state.strResult += CutSpan(page, state.lngStart, state.lngEnd - state.lngStart);
        if (item < 3) state.strResult += kLineBreak;
    }
    return state.strResult;
}

}  // namespace lookup
