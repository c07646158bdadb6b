#include "codepage/CodePage936.h"

#include <unicode/ucnv.h>

#include <stdexcept>
#include <string>

struct CodePage936::Converter {
    UConverter* handle = nullptr;
    ~Converter() { ucnv_close(handle); }
};

namespace {

void Check(UErrorCode status) {
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("code page 936 conversion: ") + u_errorName(status));
    }
}

}  // namespace

CodePage936::CodePage936() : m_converter(std::make_unique<Converter>()) {
    UErrorCode status = U_ZERO_ERROR;
    m_converter->handle = ucnv_open("windows-936", &status);
    Check(status);
    ucnv_setSubstChars(m_converter->handle, "?", 1, &status);
    Check(status);
}

CodePage936::~CodePage936() = default;

void CodePage936::appendDecoded(const char* bytes, qsizetype count, QString& text) {
    // Code page 936 gives at most one UTF-16 unit per byte; the retry is for safety only.
    const qsizetype oldSize = text.size();
    qsizetype capacity = count;
    for (;;) {
        text.resize(oldSize + capacity);
        UErrorCode status = U_ZERO_ERROR;
        const int32_t length = ucnv_toUChars(
            m_converter->handle, reinterpret_cast<UChar*>(text.data() + oldSize),
            static_cast<int32_t>(capacity), bytes, static_cast<int32_t>(count), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            capacity = length;
            continue;
        }
        Check(status);
        text.resize(oldSize + length);
        return;
    }
}

QByteArray CodePage936::encode(QStringView text) {
    QByteArray bytes(UCNV_GET_MAX_BYTES_FOR_STRING(text.size(), 2), Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_fromUChars(
        m_converter->handle, bytes.data(), static_cast<int32_t>(bytes.size()),
        reinterpret_cast<const UChar*>(text.utf16()), static_cast<int32_t>(text.size()), &status);
    Check(status);
    bytes.truncate(length);
    return bytes;
}

QString FromCodePage936(QByteArrayView bytes) {
    QString text;
    CodePage936().appendDecoded(bytes.data(), bytes.size(), text);
    return text;
}

QByteArray ToCodePage936(QStringView text) {
    return CodePage936().encode(text);
}
