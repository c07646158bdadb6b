#pragma once

#include <QString>
#include <QtGlobal>

namespace client {

// Positions are 1-based UTF-16 code-unit positions; 0 means "not there".

// Position of the first marker at or after start; 0 when none (also when start lies
// beyond the end). Throws LookupFailure for start < 1.
qint32 FindFrom(qint32 start, const QString& text, const QString& marker);

// At most length characters from start on; empty when start lies beyond the end.
// Throws LookupFailure for a negative length or start < 1.
QString CutSpan(const QString& text, qint32 start, qint32 length);

// The working values the scrapes leave behind (the main window's lngStart, lngEnd and
// strResult). Each scrape overwrites them as it goes, so a failure leaves what had
// been stored before it.
struct ScrapeState {
    qint32 lngStart = 0;
    qint32 lngEnd = 0;
    QString strResult;
};

// Own-address page, stage 1: the address between U+FF1A "[" (full-width colon) and "] ".
QString ScrapeOwnAddress(const QString& page, ScrapeState& state);
// Stage 2, continuing from state.lngStart: the location between U+6765 U+81EA U+FF1A
// ("from:") and "<br/>".
QString ScrapeOwnLocation(const QString& page, ScrapeState& state);

// Query page: the three <li> items joined by CR LF, built in state.strResult.
QString ScrapeQueryPage(const QString& page, ScrapeState& state);

}  // namespace client
