#include "CodePage936.h"

#include <unicode/ucnv.h>

#include <memory>

namespace {

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter OpenConverter() {
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open("windows-936", &status));
    if (U_FAILURE(status)) return nullptr;
    return converter;
}

}  // namespace

QString FromCodePage936(QByteArrayView bytes) {
    if (bytes.isEmpty()) return {};
    const Converter converter = OpenConverter();
    if (!converter) return {};
    // GBK gives at most one UTF-16 unit per byte; the retry only guards against a
    // converter that thinks otherwise.
    QString text(bytes.size(), Qt::Uninitialized);
    for (;;) {
        UErrorCode status = U_ZERO_ERROR;
        const int32_t length =
            ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(text.data()),
                          int32_t(text.size()), bytes.data(), int32_t(bytes.size()), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            text.resize(length);
            continue;
        }
        if (U_FAILURE(status)) return {};
        text.truncate(length);
        return text;
    }
}

QByteArray ToCodePage936(QStringView text) {
    if (text.isEmpty()) return {};
    const Converter converter = OpenConverter();
    if (!converter) return {};
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setSubstChars(converter.get(), "?", 1, &status);
    // At most two bytes per UTF-16 unit.
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    const int32_t length = ucnv_fromUChars(converter.get(), bytes.data(), int32_t(bytes.size()),
                                           reinterpret_cast<const UChar*>(text.utf16()),
                                           int32_t(text.size()), &status);
    if (U_FAILURE(status)) return {};
    bytes.truncate(length);
    return bytes;
}
