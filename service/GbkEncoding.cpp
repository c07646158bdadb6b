#include "GbkEncoding.h"

#include <unicode/ucnv.h>
#include <unicode/unistr.h>

#include <memory>
#include <stdexcept>

namespace service {
namespace {

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

ConverterPtr OpenGbkConverter() {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open("windows-936", &status));
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("cannot open the code page 936 converter: ") +
                                 u_errorName(status));
    }
    ucnv_setSubstChars(converter.get(), "?", 1, &status);
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("cannot set the substitution character: ") +
                                 u_errorName(status));
    }
    return converter;
}

// The euro sign (0x80) and U+F8F5 (0xFF).
constexpr UChar kSingleHighByteCharacters[] = {u'\u20ac', u'\uf8f5'};

// A converter keeps conversion state, so each worker thread has its own.
UConverter& ThreadConverter() {
    thread_local ConverterPtr converter = OpenGbkConverter();
    return *converter;
}

}  // namespace

std::string EncodeGbk(std::string_view utf8) {
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    // The program reads every byte of 0x80 or more as the first of a two-byte character, so
    // the characters the code page writes as one such byte would swallow the byte after them.
    for (const UChar single : kSingleHighByteCharacters) {
        text.findAndReplace(icu::UnicodeString(single), icu::UnicodeString(u'?'));
    }
    UConverter& converter = ThreadConverter();
    ucnv_resetFromUnicode(&converter);

    // Two bytes per UTF-16 unit is the most GBK ever needs (four-byte GB18030 forms are not
    // part of code page 936), so one pass fills the buffer.
    std::string bytes(static_cast<std::size_t>(text.length()) * 2 + 1, '\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t written =
        ucnv_fromUChars(&converter, bytes.data(), static_cast<int32_t>(bytes.size()),
                        text.getBuffer(), text.length(), &status);
    if (U_FAILURE(status)) {
        throw std::runtime_error(std::string("code page 936 conversion failed: ") +
                                 u_errorName(status));
    }
    bytes.resize(static_cast<std::size_t>(written));
    return bytes;
}

}  // namespace service
