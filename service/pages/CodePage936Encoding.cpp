#include "service/pages/CodePage936Encoding.h"

#include <unicode/ucnv.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

namespace service {
namespace {

constexpr std::uint16_t kQuestionMark = '?';
// No GBK code has 0xff as its second byte.
constexpr std::uint16_t kNoBytes = 0xffff;

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

void ThrowOnFailure(UErrorCode status, const char* what) {
    if (U_FAILURE(status)) throw std::runtime_error(std::string(what) + ": " + u_errorName(status));
}

ConverterPtr OpenCodePage936Converter() {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open("windows-936", &status));
    ThrowOnFailure(status, "cannot open the code page 936 converter");
    ucnv_setSubstChars(converter.get(), "?", 1, &status);
    ThrowOnFailure(status, "cannot set the substitution character");
    return converter;
}

// GBK holds no character beyond the Basic Multilingual Plane: the converter writes '?' for
// most and nothing for the default-ignorable ones. Rare enough to ask it each time.
void AppendBeyondPlane(UChar32 character, std::string& bytes) {
    // A converter keeps conversion state, so each worker thread has its own.
    thread_local const ConverterPtr converter = OpenCodePage936Converter();
    const UChar units[] = {U16_LEAD(character), U16_TRAIL(character)};
    char written[4];
    UErrorCode status = U_ZERO_ERROR;
    ucnv_resetFromUnicode(converter.get());
    const int32_t length =
        ucnv_fromUChars(converter.get(), written, sizeof written, units, 2, &status);
    ThrowOnFailure(status, "code page 936 conversion failed");
    bytes.append(written, static_cast<std::size_t>(length));
}

// The code page's bytes for every character of the Basic Multilingual Plane, asked of ICU's
// converter once, in one pass, so that a page costs a table look-up per character. An entry
// below 0x100 is one byte, kNoBytes none (the converter drops default-ignorable characters
// it cannot map), any other two bytes, high byte first.
class CodePage936Table {
public:
    CodePage936Table() {
        const ConverterPtr converter = OpenCodePage936Converter();
        UErrorCode status = U_ZERO_ERROR;

        std::vector<UChar> characters;
        characters.reserve(m_codes.size());
        for (std::uint32_t c = 0; c < m_codes.size(); ++c) {
            if (!U16_IS_SURROGATE(c)) characters.push_back(static_cast<UChar>(c));
        }
        // Two bytes per character is the most code page 936 ever writes.
        std::vector<char> bytes(characters.size() * 2);
        std::vector<int32_t> sources(bytes.size());
        char* target = bytes.data();
        const UChar* source = characters.data();
        int32_t* offsets = sources.data();
        ucnv_fromUnicode(converter.get(), &target, bytes.data() + bytes.size(), &source,
                         characters.data() + characters.size(), offsets, true, &status);
        ThrowOnFailure(status, "code page 936 conversion failed");

        m_codes.fill(kNoBytes);
        const auto written = static_cast<std::size_t>(target - bytes.data());
        for (std::size_t i = 0; i < written;) {
            const UChar character = characters[static_cast<std::size_t>(sources[i])];
            const auto first = static_cast<unsigned char>(bytes[i]);
            if (i + 1 < written && sources[i + 1] == sources[i]) {
                m_codes[character] = static_cast<std::uint16_t>(
                    first << 8 | static_cast<unsigned char>(bytes[i + 1]));
                i += 2;
            } else {
                // The program reads every byte of 0x80 or more as the first of a two-byte
                // character, so one such byte alone (the euro sign, U+F8F5) would swallow the
                // byte after it.
                m_codes[character] = first < 0x80 ? first : kQuestionMark;
                i += 1;
            }
        }
    }

    // A negative character stands for a malformed sequence, which becomes '?' like U+FFFD.
    void Append(UChar32 character, std::string& bytes) const {
        if (character < 0) {
            bytes += static_cast<char>(kQuestionMark);
            return;
        }
        if (static_cast<std::uint32_t>(character) >= m_codes.size()) {
            AppendBeyondPlane(character, bytes);
            return;
        }
        const std::uint16_t code = m_codes[static_cast<std::size_t>(character)];
        if (code == kNoBytes) return;
        if (code >= 0x100) bytes += static_cast<char>(code >> 8);
        bytes += static_cast<char>(code & 0xff);
    }

private:
    std::array<std::uint16_t, 0x10000> m_codes;
};

}  // namespace

std::string EncodeCodePage936(std::string_view utf8) {
    static const CodePage936Table table;
    std::string bytes;
    bytes.reserve(utf8.size());
    const auto length = static_cast<std::int64_t>(utf8.size());
    for (std::int64_t i = 0; i < length;) {
        // ASCII is the same in the code page: a run of it is copied at once. Pages are
        // mostly markup, so the run's end is looked for eight bytes at a time.
        std::int64_t end = i;
        constexpr std::uint64_t kHighBits = 0x8080808080808080;
        for (std::uint64_t eight = 0; end + 8 <= length; end += 8) {
            std::memcpy(&eight, utf8.data() + end, 8);
            if ((eight & kHighBits) != 0) break;
        }
        while (end < length &&
               static_cast<unsigned char>(utf8[static_cast<std::size_t>(end)]) < 0x80) {
            ++end;
        }
        bytes.append(utf8.substr(static_cast<std::size_t>(i), static_cast<std::size_t>(end - i)));
        i = end;
        if (i == length) break;
        // A malformed sequence comes back negative, once for each maximal ill-formed part.
        UChar32 character = 0;
        U8_NEXT(utf8.data(), i, length, character);
        table.Append(character, bytes);
    }
    return bytes;
}

}  // namespace service
