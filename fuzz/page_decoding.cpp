// Bodies of the service's pages, as the program decodes them: the query page byte pair by
// byte pair (without the event pump), the own-address page all at once.
#include "client/HttpRequest.h"
#include "client/PageDecoding.h"
#include "codepage/CodePage936.h"
#include "fuzz/Require.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace {

constexpr char16_t kReplacement = u'\ufffd';

// How many characters the decoder reads (one per ASCII byte, one per pair led by a byte of
// 0x80 or more), or nothing when the body ends inside a pair.
std::optional<qsizetype> CharacterCount(const QByteArray& bytes) {
    qsizetype characters = 0;
    for (qsizetype i = 0; i < bytes.size(); ++characters) {
        if (static_cast<uchar>(bytes[i]) < 0x80) {
            i += 1;
        } else if (i + 1 < bytes.size()) {
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    return characters;
}

bool HoldsSurrogates(const QString& text) {
    for (const QChar c : text) {
        if (c.isSurrogate()) return true;
    }
    return false;
}

void CheckPairDecoder(const QByteArray& bytes) {
    const auto characters = CharacterCount(bytes);
    qsizetype pumps = 0;
    QString text;
    try {
        text = client::DecodeResponseBytes(bytes, [&pumps] { ++pumps; });
    } catch (const client::LookupFailure&) {
        Require(!characters, "fails only when the body ends inside a pair");
        return;
    }
    Require(characters.has_value(), "a body ending inside a pair fails");
    // The window stays alive while a page is decoded, but never at more than a pass per
    // character.
    Require(pumps <= *characters && (pumps > 0) == (*characters > 0), "pumps while decoding");
    // A pair gives one character, or two when its lead byte stands alone in the code page.
    Require(text.size() >= *characters && text.size() <= bytes.size(), "length of the text");
    Require(!HoldsSurrogates(text), "code page 936 has no characters beyond the BMP");
    if (!text.contains(kReplacement)) {
        Require(ToCodePage936(text) == bytes, "text without replacements encodes back the same");
    }
}

void CheckWholePage(const QByteArray& bytes) {
    const QString text = client::ConvertWholePage(bytes);
    Require(text.size() <= bytes.size(), "at most one character per byte");
    Require(!HoldsSurrogates(text), "code page 936 has no characters beyond the BMP");
    if (!text.contains(kReplacement)) {
        Require(ToCodePage936(text) == bytes, "text without replacements encodes back the same");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckPairDecoder(bytes);
    CheckWholePage(bytes);
    return 0;
}
