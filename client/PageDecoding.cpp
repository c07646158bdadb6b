#include "client/PageDecoding.h"

#include "client/HttpRequest.h"
#include "codepage/CodePage936.h"

namespace client {
namespace {

template <typename Pump>
QString Decode(const QByteArray& bytes, Pump&& processPendingEvents) {
    // Our own reference: a handler run by the pump may replace or drop the caller's array.
    const QByteArray input = bytes;
    const char* const data = input.constData();
    const qsizetype n = input.size();
    CodePage936 codePage;
    QString text;
    text.reserve(n);
    qsizetype i = 0;
    for (qsizetype characters = 0; i < n; ++characters) {
        if (characters % kCharactersPerPump == 0) processPendingEvents();
        const auto b1 = static_cast<uchar>(data[i]);
        if (b1 < 0x80) {
            // Code page 936 keeps ASCII as it is.
            text.append(QChar(char16_t(b1)));
            i += 1;
        } else {
            // A byte of 0x80 or more always takes the next byte as its trail byte.
            if (i + 1 >= n) throw LookupFailure("the page ends inside a two-byte character");
            codePage.appendDecoded(data + i, 2, text);
            i += 2;
        }
    }
    return text;
}

}  // namespace

QString DecodeResponseBytes(const QByteArray& bytes) {
    return Decode(bytes, ProcessPendingEvents);
}

QString DecodeResponseBytes(const QByteArray& bytes,
                            const std::function<void()>& processPendingEvents) {
    return Decode(bytes, processPendingEvents);
}

QString ConvertWholePage(const QByteArray& bytes) {
    QString text;
    CodePage936().appendDecoded(bytes.constData(), bytes.size(), text);
    return text;
}

}  // namespace client
