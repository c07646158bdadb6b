#pragma once

#include <QByteArray>
#include <QList>

#include <algorithm>

// A request as the loopback server received it, taken apart: the request line, the header
// lines in sorted order (so tests compare the exact set) and the body.
struct RecordedRequest {
    QByteArray requestLine;
    QList<QByteArray> headers;
    QByteArray body;

    static RecordedRequest parse(const QByteArray& bytes) {
        RecordedRequest request;
        const qsizetype headEnd = bytes.indexOf("\r\n\r\n");
        if (headEnd < 0) return request;
        QList<QByteArray> lines = bytes.left(headEnd).split('\n');
        for (QByteArray& line : lines) line.chop(line.endsWith('\r') ? 1 : 0);
        request.requestLine = lines.takeFirst();
        std::sort(lines.begin(), lines.end());
        request.headers = lines;
        request.body = bytes.mid(headEnd + 4);
        return request;
    }
};
