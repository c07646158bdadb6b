// The service's pages from any answer text, in code page 936, read back by the program's
// own decoder and scrapers. The input is UTF-8 (malformed sequences too); split at U+001F it
// gives the three items of the answer.
#include "client/HttpRequest.h"
#include "client/PageDecoding.h"
#include "client/PageScraping.h"
#include "codepage/CodePage936.h"
#include "fuzz/Require.h"
#include "service/core/DisplayedValue.h"
#include "service/core/LookupAnswer.h"
#include "service/pages/CodePage936Encoding.h"
#include "service/pages/Pages.h"

#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

QString FromCodePage936Bytes(const std::string& bytes) {
    return FromCodePage936(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

// The text as the service reads UTF-8, malformed sequences replaced.
QList<uint> CodePoints(std::string_view utf8) {
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length()).toUcs4();
}

bool IsDefaultIgnorable(uint c) {
    return u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_DEFAULT_IGNORABLE_CODE_POINT);
}

// Each character comes out as itself or as '?', except invisible ones (format controls,
// joiners, variation selectors), which the converter drops when the code page lacks them.
void CheckEncoding(std::string_view utf8) {
    const QList<uint> original = CodePoints(utf8);
    const QList<uint> decoded = FromCodePage936Bytes(service::EncodeCodePage936(utf8)).toUcs4();
    qsizetype j = 0;
    for (const uint c : original) {
        const bool kept = j < decoded.size() && decoded[j] == c;
        if (!kept && IsDefaultIgnorable(c)) continue;
        Require(kept || (j < decoded.size() && decoded[j] == u'?' && c >= 0x80),
                "each character is kept, marked with '?' or invisible");
        ++j;
    }
    Require(j == decoded.size(), "nothing is added to the text");
}

// What the program shows for one item: its label, and the value as the page shows it and code
// page 936 carries it.
QString Shown(const QString& label, std::string_view value) {
    const std::string displayed = service::DisplayedValue(value);
    Require(service::DisplayedValue(displayed) == displayed,
            "showing a value twice changes nothing");
    return label + FromCodePage936Bytes(service::EncodeCodePage936(displayed));
}

QString ReadPage(const std::string& utf8Page) {
    const std::string bytes = service::EncodeCodePage936(utf8Page);
    try {
        return client::DecodeResponseBytes(
            QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), [] {});
    } catch (const client::LookupFailure&) {
        Require(false, "every page the service sends can be decoded");
    }
    return QString();
}

QString ScrapeQuery(const std::string& utf8Page) {
    client::ScrapeState state;
    try {
        return client::ScrapeQueryPage(ReadPage(utf8Page), state);
    } catch (const client::LookupFailure&) {
        Require(false, "every query page has its three items");
    }
    return QString();
}

void CheckQueryPage(const service::LookupAnswer& answer) {
    // The labels are what an answer of empty items shows.
    static const QStringList labels =
        ScrapeQuery(service::QueryPage("", service::UniformAnswer(""))).split(kLineBreak);
    Require(labels.size() == 3, "three labels");
    const QString expected = Shown(labels[0], answer.location.text) + kLineBreak +
                             Shown(labels[1], answer.network.text) + kLineBreak +
                             Shown(labels[2], answer.registeredCountry.text);
    Require(ScrapeQuery(service::QueryPage("1.2.3.4", answer)) == expected,
            "the program shows the three items of the answer");
}

void CheckOwnAddressPage(const service::LookupAnswer& answer) {
    const QString page = ReadPage(service::OwnAddressPage("203.0.113.7", answer));
    client::ScrapeState state;
    try {
        Require(client::ScrapeOwnAddress(page, state) == u"203.0.113.7", "the address is shown");
        Require(client::ScrapeOwnLocation(page, state) == Shown(QString(), answer.location.text),
                "the location is shown");
    } catch (const client::LookupFailure&) {
        Require(false, "every own-address page has its address and location");
    }
}

// The first three parts of the input split at U+001F; missing ones are empty.
std::array<std::string, 3> Items(std::string_view input) {
    std::array<std::string, 3> items;
    for (std::string& item : items) {
        const std::size_t end = input.find('\x1f');
        item = std::string(input.substr(0, end));
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    }
    return items;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckEncoding(input);

    const auto items = Items(input);
    service::LookupAnswer answer;
    answer.location.text = items[0];
    answer.network.text = items[1];
    answer.registeredCountry.text = items[2];
    CheckQueryPage(answer);
    CheckOwnAddressPage(answer);
    return 0;
}
