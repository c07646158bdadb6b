#include "service/summary/Utf8Text.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdint>

namespace summary {
namespace {

constexpr std::string_view kReplacement = "\xef\xbf\xbd";  // U+FFFD

std::int32_t LengthOf(std::string_view text) {
    return static_cast<std::int32_t>(text.size());
}

}  // namespace

std::string ShownText(std::string_view text) {
    std::string valid;
    valid.reserve(text.size());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    std::int32_t i = 0;
    while (i < LengthOf(text)) {
        const std::int32_t start = i;
        UChar32 c;
        U8_NEXT(bytes, i, LengthOf(text), c);
        if (c < 0) {
            valid += kReplacement;
        } else if (c < 0x20 || c == 0x7f) {
            valid += ' ';
        } else {
            valid.append(
                text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
        }
    }
    return valid;
}

std::size_t DisplayWidth(std::string_view text) {
    std::size_t width = 0;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    std::int32_t i = 0;
    while (i < LengthOf(text)) {
        UChar32 c;
        U8_NEXT(bytes, i, LengthOf(text), c);
        const auto eastAsian = u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH);
        const auto category = u_charType(c);
        if (eastAsian == U_EA_WIDE || eastAsian == U_EA_FULLWIDTH) {
            width += 2;
        } else if (category != U_NON_SPACING_MARK && category != U_ENCLOSING_MARK) {
            width += 1;
        }
    }
    return width;
}

}  // namespace summary
